// The writers' lock across processes of one device: edits made at the same
// time all survive, the lock ends with its holder, and readers never wait.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "host/host.h"
#include "settings/keys.h"
#include "sim/preferences.h"
#include "settings/store.h"
#include "sim/device.h"
#include "sim/device_files.h"
#include "tests/support/temp_root.h"

namespace {

using testing_support::TempRoot;

constexpr int kEditsPerProcess = 500;

// Forks a child of this booted process that runs `body` once `start` can be
// read (or at once for -1), and returns its id.
pid_t startChild(const std::function<bool()>& body, int start = -1) {
  const pid_t child = fork();
  if (child == 0) {
    char go;
    if (start >= 0 && read(start, &go, 1) != 1) _exit(3);
    _exit(body() ? 0 : 1);
  }
  return child;
}

// True when the child exits with status 0 within `ms`; a child still running
// then is killed.
bool exitsCleanlyWithin(pid_t child, int ms) {
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Sets `count` keys named "<prefix><n>", one edit each.
bool setKeys(const std::string& prefix, int count) {
  for (int i = 0; i < count; ++i) {
    const host::PreferenceValue on = settings::booleanValue(true);
    const std::string key = prefix + std::to_string(i);
    if (settings::changeSettingsAndPost({{key, &on}}) != host::PreferencesWrite::kWritten) return false;
  }
  return true;
}

// Runs `body` holding the writers' lock; false when it cannot be had.
bool holdingTheLock(const std::function<bool()>& body) {
  return static_cast<bool>(sim::withPreferencesLock(settings::kSettingsPath, body));
}

bool takeTheLock() {
  return holdingTheLock([] { return true; });
}

// A writer that does not take the lock: while a locked writer's new file is
// ready but not yet in place, it rewrites the settings file in place, longer
// each time, `outsideWritesLeft` more times.
std::string outsideFile;
int outsideWritesLeft = 0, outsideWrites = 0;

void writeOutside(const std::string&) {
  if (outsideWritesLeft == 0) return;
  --outsideWritesLeft;
  std::ofstream(outsideFile, std::ios::binary)
      << "<plist><dict><key>outside</key><string>" << std::string(static_cast<std::size_t>(++outsideWrites), 'x')
      << "</string></dict></plist>";
}

class WritersLock : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::boot(testing_support::bareBoot(root_));
    root_.put("/var/mobile/Library/Preferences/.keep", "");
  }
  void TearDown() override { sim::shutdown(); }
  TempRoot root_;
};

TEST_F(WritersLock, EveryEditOfTwoProcessesAtOnceSurvives) {
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  const pid_t a = startChild([] { return setKeys("a", kEditsPerProcess); }, start[0]);
  const pid_t b = startChild([] { return setKeys("b", kEditsPerProcess); }, start[0]);
  ASSERT_EQ(write(start[1], "gg", 2), 2);
  close(start[0]);
  close(start[1]);
  EXPECT_TRUE(exitsCleanlyWithin(a, 120000));
  EXPECT_TRUE(exitsCleanlyWithin(b, 120000));

  const plist::Document file = sim::readPreferencesFile(settings::kSettingsPath).document;
  int survived = 0;
  for (const char* prefix : {"a", "b"})
    for (int i = 0; i < kEditsPerProcess; ++i) survived += static_cast<bool>(file.value(prefix + std::to_string(i)));
  EXPECT_EQ(survived, 2 * kEditsPerProcess);
}

TEST_F(WritersLock, AWriterWaitsForTheHolder) {
  pid_t writer = -1;
  ASSERT_TRUE(holdingTheLock([&] {
    writer = startChild([] { return setKeys("w", 1); });
    EXPECT_FALSE(exitsCleanlyWithin(writer, 300)) << "the edit went ahead while another writer held the lock";
    return true;
  }));
  EXPECT_EQ(root_.get(settings::kSettingsPath), "<absent>");

  const pid_t next = startChild([] { return setKeys("w", 1); });
  EXPECT_TRUE(exitsCleanlyWithin(next, 10000));
}

TEST_F(WritersLock, EndsWithAHolderThatDiesHoldingIt) {
  const pid_t holder = startChild([] { return holdingTheLock([]() -> bool { _exit(0); }); });
  ASSERT_TRUE(exitsCleanlyWithin(holder, 10000));
  const pid_t killed = startChild([] {
    return holdingTheLock([] {
      pause();
      return true;
    });
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kill(killed, SIGKILL);
  EXPECT_FALSE(exitsCleanlyWithin(killed, 10000));
  EXPECT_TRUE(exitsCleanlyWithin(startChild(takeTheLock), 10000));
}

TEST_F(WritersLock, AChangeMadeBetweenAWritersReadAndItsRenameIsKept) {
  outsideFile = root_.host(settings::kSettingsPath);
  sim::setBeforeReplaceHook(writeOutside);
  outsideWritesLeft = 2;
  EXPECT_TRUE(setKeys("w", 1));
  plist::Document file = sim::readPreferencesFile(settings::kSettingsPath).document;
  EXPECT_EQ(file.value("outside").text(), "xx");
  EXPECT_TRUE(file.value("w0"));

  // A file that changes at every try: the edit gives up and says why.
  outsideWritesLeft = 100;
  EXPECT_FALSE(setKeys("v", 1));
  sim::setBeforeReplaceHook(nullptr);
  EXPECT_NE(sim::lastWriteRefusal().find("it changed between every one of 5 reads"), std::string::npos)
      << sim::lastWriteRefusal();
  file = sim::readPreferencesFile(settings::kSettingsPath).document;
  EXPECT_FALSE(file.value("v0"));
  EXPECT_EQ(file.value("outside").text(), std::string(7, 'x'));
}

TEST_F(WritersLock, ReadersNeverWaitForIt) {
  root_.put(settings::kSettingsPath, "<plist><dict><key>enabled</key><false/></dict></plist>");
  ASSERT_TRUE(holdingTheLock([] {
    const pid_t reader = startChild([] {
      return settings::Values(settings::kSettingsPath, {settings::kEnabledKey}).boolean(settings::kEnabledKey) == false;
    });
    EXPECT_TRUE(exitsCleanlyWithin(reader, 10000));
    return true;
  }));
}

}  // namespace
