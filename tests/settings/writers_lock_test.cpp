// The writers' lock across processes of one device: edits made at the same
// time all survive, the lock ends with its holder, and readers never wait.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "host/host.h"
#include "settings/keys.h"
#include "settings/lookup.h"
#include "settings/store.h"
#include "sim/device.h"
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
    const auto outcome = settings::editSettingsAndPost([&](settings::Document& document) {
      document.setBoolean(prefix + std::to_string(i), true);
      return settings::EditAction::kWrite;
    });
    if (outcome != settings::EditOutcome::kWritten) return false;
  }
  return true;
}

bool takeTheLock() {
  host::WriterLock* lock = host::lockForWriting(settings::kSettingsPath);
  host::unlockWriting(lock);
  return lock != nullptr;
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

  const settings::Lookup file = settings::Lookup::readFile(settings::kSettingsPath);
  int survived = 0;
  for (const char* prefix : {"a", "b"})
    for (int i = 0; i < kEditsPerProcess; ++i) survived += file.boolean(prefix + std::to_string(i)) == true;
  EXPECT_EQ(survived, 2 * kEditsPerProcess);
}

TEST_F(WritersLock, AWriterWaitsForTheHolder) {
  host::WriterLock* held = host::lockForWriting(settings::kSettingsPath);
  ASSERT_NE(held, nullptr);
  const pid_t writer = startChild([] { return setKeys("w", 1); });
  EXPECT_FALSE(exitsCleanlyWithin(writer, 300)) << "the edit went ahead while another writer held the lock";
  host::unlockWriting(held);
  EXPECT_EQ(root_.get(settings::kSettingsPath), "<absent>");

  const pid_t next = startChild([] { return setKeys("w", 1); });
  EXPECT_TRUE(exitsCleanlyWithin(next, 10000));
}

TEST_F(WritersLock, EndsWithAHolderThatDiesHoldingIt) {
  const pid_t holder = startChild([] {
    host::lockForWriting(settings::kSettingsPath);
    _exit(0);
    return true;
  });
  ASSERT_TRUE(exitsCleanlyWithin(holder, 10000));
  const pid_t killed = startChild([] {
    host::lockForWriting(settings::kSettingsPath);
    pause();
    return true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kill(killed, SIGKILL);
  EXPECT_FALSE(exitsCleanlyWithin(killed, 10000));
  EXPECT_TRUE(exitsCleanlyWithin(startChild(takeTheLock), 10000));
}

TEST_F(WritersLock, ReadersNeverWaitForIt) {
  root_.put(settings::kSettingsPath, "<plist><dict><key>enabled</key><false/></dict></plist>");
  host::WriterLock* held = host::lockForWriting(settings::kSettingsPath);
  ASSERT_NE(held, nullptr);
  const pid_t reader = startChild([] {
    return settings::readSettings().boolean(settings::kEnabledKey) == false &&
           settings::Lookup::readFile(settings::kSettingsPath).boolean(settings::kEnabledKey) == false;
  });
  EXPECT_TRUE(exitsCleanlyWithin(reader, 10000));
  host::unlockWriting(held);
}

}  // namespace
