// The atomic replacement under crashes, races, symlinks and ownership, and
// the hardened whole-file read.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "sim/plist/atomic_file.h"
#include "sim/plist/document.h"
#include "sim/plist/write_steps.h"
#include "tests/support/temp_root.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempRoot;

std::string read(const std::string& path) {
  std::string bytes;
  plist::readWholeFile(path, bytes);
  return bytes;
}

std::set<std::string> entries(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

TEST(AtomicFile, SymlinkAtTheTargetIsReplacedNeverFollowed) {
  TempRoot root;
  const std::string target = root.path() + "/elsewhere", link = root.path() + "/f.plist";
  root.put("/elsewhere", "precious");
  chmod(target.c_str(), 0600);
  fs::create_symlink(target, link);
  ASSERT_TRUE(plist::replaceFileAtomically(link, "new"));
  EXPECT_EQ(read(target), "precious");
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(read(link), "new");
  struct stat st {};
  stat(link.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0644u) << "the mode of the link's target is not taken either";
}

TEST(AtomicFile, OwnerOfTheReplacedFileIsKeptWhenRoot) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root";
  TempRoot root;
  const std::string file = root.path() + "/f.plist";
  root.put("/f.plist", "one");
  ASSERT_EQ(chown(file.c_str(), 501, 20), 0);
  chmod(file.c_str(), 0640);
  ASSERT_TRUE(plist::replaceFileAtomically(file, "two"));
  struct stat st {};
  stat(file.c_str(), &st);
  EXPECT_EQ(st.st_uid, 501u);
  EXPECT_EQ(st.st_gid, 20u);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // A new file takes the folder's owner, not root's.
  fs::create_directories(root.path() + "/user");
  ASSERT_EQ(chown((root.path() + "/user").c_str(), 502, 21), 0);
  ASSERT_TRUE(plist::replaceFileAtomically(root.path() + "/user/new.plist", "x"));
  stat((root.path() + "/user/new.plist").c_str(), &st);
  EXPECT_EQ(st.st_uid, 502u);
}

TEST(AtomicFile, LeftoversOfDeadWritersGoLiveOnesStay) {
  TempRoot root;
  const std::string file = root.path() + "/f.plist";
  root.put("/.f.plist.tmp-dead", "half written");
  root.put("/.f.plist.tmp-live", "being written");
  root.put("/.other.plist.tmp-dead", "another target's");
  int live = open((root.path() + "/.f.plist.tmp-live").c_str(), O_RDONLY);
  ASSERT_EQ(flock(live, LOCK_EX), 0);
  // The lock is held by another process, as a live writer's would be.
  pid_t holder = fork();
  if (holder == 0) {
    pause();
    _exit(0);
  }
  close(live);
  ASSERT_TRUE(plist::replaceFileAtomically(file, "new"));
  EXPECT_EQ(entries(root.path()), (std::set<std::string>{"f.plist", ".f.plist.tmp-live", ".other.plist.tmp-dead"}));
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
}

TEST(AtomicFile, FailureLeavesTheOldFileAndNoTemporary) {
  TempRoot root;
  fs::create_directories(root.path() + "/dir.plist/inside");
  EXPECT_FALSE(plist::replaceFileAtomically(root.path() + "/dir.plist", "x"));
  EXPECT_TRUE(fs::is_directory(root.path() + "/dir.plist/inside"));
  EXPECT_EQ(entries(root.path()), std::set<std::string>{"dir.plist"});
}

TEST(ReadWholeFile, NeverWaitsOnAFifoAndHonoursTheSizeLimit) {
  TempRoot root;
  const std::string fifo = root.path() + "/fifo.plist";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  std::string bytes = "stale";
  EXPECT_FALSE(plist::readWholeFile(fifo, bytes));  // would block forever without O_NONBLOCK
  EXPECT_TRUE(bytes.empty());
  root.put("/big", std::string(1000, 'x'));
  EXPECT_FALSE(plist::readWholeFile(root.path() + "/big", bytes, 999));
  EXPECT_TRUE(plist::readWholeFile(root.path() + "/big", bytes, 1000));
  EXPECT_EQ(bytes.size(), 1000u);
}

// A writer process killed at each step of a replacement leaves the old file
// or the new one, whole, and its temporary file is cleaned up by the next.
class KilledWriter : public ::testing::TestWithParam<int> {};

int gKillAt = 0;
int gStepsSeen = 0;

TEST_P(KilledWriter, LeavesTheOldOrTheNewFileWhole) {
  TempRoot root;
  const std::string file = root.path() + "/f.plist";
  const std::string oldBytes(100000, 'o'), newBytes(300000, 'n');  // several chunks each
  root.put("/f.plist", oldBytes);
  gKillAt = GetParam();
  pid_t child = fork();
  if (child == 0) {
    plist::setWriteStepObserver([](plist::WriteStep) {
      if (++gStepsSeen == gKillAt) raise(SIGKILL);
    });
    plist::replaceFileAtomically(file, newBytes);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const std::string now = read(file);
  EXPECT_TRUE(now == oldBytes || now == newBytes) << "size " << now.size();
  // Steps: created, 5 chunks, synced, renamed, folder synced.
  EXPECT_EQ(now, GetParam() <= 7 ? oldBytes : newBytes);
  ASSERT_TRUE(plist::replaceFileAtomically(file, "after"));
  EXPECT_EQ(entries(root.path()), std::set<std::string>{"f.plist"});
}

INSTANTIATE_TEST_SUITE_P(EveryStep, KilledWriter, ::testing::Range(1, 11));

TEST(AtomicFile, ReaderSeesOnlyWholeDictionariesWhileAnotherProcessRewrites) {
  TempRoot root;
  const std::string file = root.path() + "/f.plist";
  auto document = [](int keys) {
    plist::Document doc;
    for (int i = 0; i < keys; ++i) doc.setBoolean("LVDisable-app" + std::to_string(i), i % 2);
    return doc.toXml();
  };
  const std::string small = document(10), large = document(2000);
  ASSERT_TRUE(plist::replaceFileAtomically(file, small));
  pid_t writer = fork();
  if (writer == 0) {
    for (int i = 0; i < 2000; ++i) plist::replaceFileAtomically(file, i % 2 ? small : large);
    _exit(0);
  }
  int reads = 0, status = 0;
  while (waitpid(writer, &status, WNOHANG) == 0) {
    std::size_t keys = plist::Document::parse(read(file)).size();
    ASSERT_TRUE(keys == 10 || keys == 2000) << "read " << keys << " keys";
    ++reads;
  }
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_GT(reads, 0);
}

TEST(AtomicFile, ReplaceKeepsModeAndLeavesNoTemporaryFiles) {
  TempRoot root;
  std::string file = root.path() + "/f.plist";
  root.put("/f.plist", "one");
  chmod(file.c_str(), 0600);
  ASSERT_TRUE(plist::replaceFileAtomically(file, "two"));
  std::string bytes;
  ASSERT_TRUE(plist::readWholeFile(file, bytes));
  EXPECT_EQ(bytes, "two");
  struct stat st {};
  stat(file.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(root.path())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(AtomicFile, MissingFolderFailsAndReadOfFolderFails) {
  TempRoot root;
  EXPECT_FALSE(plist::replaceFileAtomically(root.path() + "/no/such/f.plist", "x"));
  std::string bytes = "stale";
  EXPECT_FALSE(plist::readWholeFile(root.path(), bytes));
  EXPECT_TRUE(bytes.empty());
}

}  // namespace
