// The writers' lock when it cannot be had: writers refuse their edit and say
// why, rather than write without it.
#include "sim/writers_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "host/host.h"
#include "settings/keys.h"
#include "sim/device_files.h"
#include "sim/preferences.h"
#include "tests/support/other_process.h"
#include "tests/support/temp_root.h"

namespace {

using sim::Descriptor;
using testing_support::TempRoot;

volatile std::sig_atomic_t terminated = 0;

// True when an edit of the settings is refused, for want of the lock unless
// told otherwise, with a reason that mentions `why`.
// A writer's edit of the settings file, refused for `why`.
bool editRefused(const std::string& why, host::PreferencesWrite outcome = host::PreferencesWrite::kNotLocked) {
  const auto result = sim::editPreferencesFile(settings::kSettingsPath, [](plist::Document& document) {
    document.setBoolean(settings::kEnabledKey, false);
    return true;
  });
  return result.outcome == outcome && sim::lastWriteRefusal().find(why) != std::string::npos;
}

class WritersLockRefusal : public ::testing::Test {
 protected:
  void SetUp() override { root_.put("/var/mobile/Library/Preferences/.keep", ""); }
  void boot() { sim::boot(testing_support::bareBoot(root_)); }
  void TearDown() override { sim::shutdown(); }
  TempRoot root_;
  const std::string lockFile_ = root_.host(settings::kSettingsPath) + ".lock";
};

// Each writer is a process of its own, started before this one boots.
TEST_F(WritersLockRefusal, WritersInOtherProcessesRefuseWhatCannotBeLocked) {
  testing_support::OtherProcess folderInTheWay(testing_support::bareBoot(root_),
                                               [] { return editRefused("a folder is in the way"); });
  testing_support::OtherProcess linkInTheWay(testing_support::bareBoot(root_),
                                             [] { return editRefused("a symbolic link is in the way"); });
  // Another user facing a lock file only its owner may open.
  testing_support::OtherProcess otherUser(testing_support::bareBoot(root_), [] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return false;
    return editRefused("its lock file cannot be opened");
  });
  boot();
  ASSERT_EQ(mkdir(lockFile_.c_str(), 0755), 0);
  EXPECT_TRUE(folderInTheWay.run());
  ASSERT_EQ(rmdir(lockFile_.c_str()), 0);

  ASSERT_EQ(symlink((root_.path() + "/nowhere").c_str(), lockFile_.c_str()), 0);
  EXPECT_TRUE(linkInTheWay.run());
  EXPECT_EQ(root_.get("/nowhere"), "<absent>");
  ASSERT_EQ(unlink(lockFile_.c_str()), 0);

  root_.put(std::string(settings::kSettingsPath) + ".lock", "");
  ASSERT_EQ(chmod(lockFile_.c_str(), 0), 0);
  ASSERT_EQ(chmod(root_.path().c_str(), 0755), 0);
  EXPECT_TRUE(otherUser.run());

  EXPECT_EQ(root_.get(settings::kSettingsPath), "<absent>") << "an edit went ahead without the lock";
}

TEST_F(WritersLockRefusal, AFullInodeTableIsNamed) {
  boot();
  // A child with a mount namespace of its own puts the settings folder on a
  // file system with no inode left.
  const std::string folder = root_.host("/var/mobile/Library/Preferences");
  const pid_t child = fork();
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("lumivo-test", folder.c_str(), "tmpfs", 0, "nr_inodes=8,size=1m") != 0)
      _exit(77);
    // The device root open before lies in the namespace left behind.
    sim::setDeviceRoot(root_.path());
    int files = 0;
    while (Descriptor(open((folder + "/" + std::to_string(files)).c_str(), O_CREAT | O_WRONLY, 0644)).valid()) ++files;
    const std::string full = std::strerror(ENOSPC);
    const bool lockNamed = editRefused("its lock file cannot be created: " + full);
    // The one inode freed goes to the lock file; the new file finds none.
    unlink((folder + "/0").c_str());
    const bool writeNamed = editRefused("cannot write", host::PreferencesWrite::kWriteFailed) &&
                            sim::lastWriteRefusal().ends_with(full);
    _exit(lockNamed && writeNamed ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no mount namespace for a small file system";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(WritersLockRefusal, ASignalStopsAWriterWaitingForTheLock) {
  boot();
  sim::WritersLock held = sim::lockDeviceFileWriters(settings::kSettingsPath);
  ASSERT_TRUE(held);
  const pid_t writer = fork();
  if (writer == 0) {
    struct sigaction action = {};
    action.sa_handler = [](int) { terminated = 1; };
    sigaction(SIGTERM, &action, nullptr);
    sim::setLockWaitStop([] { return terminated != 0; });
    _exit(editRefused("interrupted") ? 0 : 1);
  }
  usleep(100000);
  kill(writer, SIGTERM);
  int status = 0;
  // Well within the writer's own wait for the lock.
  for (int tries = 0; waitpid(writer, &status, WNOHANG) == 0; ++tries) {
    if (tries == 200) {
      kill(writer, SIGKILL);
      waitpid(writer, &status, 0);
      break;
    }
    usleep(10000);
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the writer went on waiting";
  held.file = sim::Descriptor();
  EXPECT_EQ(root_.get(settings::kSettingsPath), "<absent>") << "the interrupted writer wrote";
}

TEST_F(WritersLockRefusal, TheWaitForAHeldLockIsBounded) {
  boot();
  sim::Descriptor folder(open(root_.host("/var/mobile/Library/Preferences").c_str(), O_RDONLY | O_DIRECTORY));
  sim::WritersLock held = sim::takeWritersLock(folder.get(), "file");
  ASSERT_TRUE(held);
  const sim::WritersLock waiting = sim::takeWritersLock(folder.get(), "file", std::chrono::milliseconds(30));
  EXPECT_EQ(waiting.failure, sim::LockFailure::kTimedOut);
  held.file = sim::Descriptor();
  EXPECT_TRUE(sim::takeWritersLock(folder.get(), "file", std::chrono::milliseconds(30)));

  ASSERT_EQ(mkfifo(root_.host("/var/mobile/Library/Preferences/fifo.lock").c_str(), 0644), 0);
  EXPECT_EQ(sim::takeWritersLock(folder.get(), "fifo").failure, sim::LockFailure::kNotAFile);
}

}  // namespace
