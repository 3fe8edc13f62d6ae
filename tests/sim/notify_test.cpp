// Darwin notifications: system-wide on one device root, crossing processes,
// coalesced, delivered on the main run loop only.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "host/host.h"
#include "sim/device.h"
#include "sim/notify.h"
#include "tests/support/other_process.h"
#include "tests/support/temp_root.h"

namespace {

using testing_support::TempRoot;

int gCalls = 0;
std::string gLastName;

void countCall(host::NotifyCenter*, void*, const char* name, const void* object, const void* info) {
  ++gCalls;
  gLastName = name;
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(info, nullptr);
}

// Boots a bare process on `root` in a child and posts `name` there.
void postFromAnotherProcess(const TempRoot& root, const char* name) {
  ASSERT_TRUE(testing_support::runInOtherProcess(testing_support::bareBoot(root), [name] {
    host::notifyPost(name);
    return true;
  }));
}

class Notify : public ::testing::Test {
 protected:
  void SetUp() override {
    gCalls = 0;
    sim::boot(testing_support::bareBoot(root_));
    host::notifyCenterAddObserver(host::darwinNotifyCenter(), nullptr, &countCall, "test.changed", nullptr,
                                  host::kSuspensionCoalesce);
  }
  void TearDown() override { sim::shutdown(); }
  TempRoot root_;
};

TEST_F(Notify, DeliveredOnTheRunLoopNotDuringThePost) {
  host::notifyPost("test.changed");
  EXPECT_EQ(gCalls, 0);
  EXPECT_EQ(sim::runLoopOnce(), 1);
  EXPECT_EQ(gCalls, 1);
  EXPECT_EQ(gLastName, "test.changed");
  EXPECT_EQ(sim::postCount("test.changed"), 1);
}

TEST_F(Notify, PostsThatArriveTogetherAreCoalesced) {
  for (int i = 0; i < 5; ++i) host::notifyPost("test.changed");
  host::notifyPost("test.other");
  sim::runLoopOnce();
  EXPECT_EQ(gCalls, 1);
  sim::runLoopOnce();
  EXPECT_EQ(gCalls, 1);
}

TEST_F(Notify, CrossesProcessesOnTheSameRoot) {
  postFromAnotherProcess(root_, "test.changed");
  EXPECT_TRUE(sim::runLoopUntilNotification("test.changed", 5000));
  EXPECT_EQ(gCalls, 1);
  EXPECT_EQ(sim::postCount("test.changed"), 0) << "this process posted nothing";
}

TEST_F(Notify, DoesNotCrossToAnotherRoot) {
  TempRoot other;
  postFromAnotherProcess(other, "test.changed");
  EXPECT_FALSE(sim::runLoopUntilNotification("test.changed", 200));
  EXPECT_EQ(gCalls, 0);
}

TEST_F(Notify, FailedRegistrationNeverDelivers) {
  sim::BootOptions options = testing_support::bareBoot(root_);
  options.failObserverRegistration = true;
  sim::boot(options);
  host::notifyCenterAddObserver(host::darwinNotifyCenter(), nullptr, &countCall, "test.changed", nullptr,
                                host::kSuspensionCoalesce);
  host::notifyPost("test.changed");
  sim::runLoopOnce();
  EXPECT_EQ(gCalls, 0);
}

// A line that never ends is dropped up to its newline, within a bound, and
// the names after it still arrive.
TEST_F(Notify, AnOverLongLineIsDroppedWithinABound) {
  int pipe = -1;
  for (const auto& entry : std::filesystem::directory_iterator(root_.host("/.sim/notify")))
    if (entry.is_fifo()) pipe = open(entry.path().c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(pipe, 0);
  const std::string chunk(4000, 'x');
  std::size_t most = 0;
  for (int i = 0; i < 600; ++i) {
    ASSERT_EQ(write(pipe, chunk.data(), chunk.size()), static_cast<ssize_t>(chunk.size()));
    sim::runLoopOnce();
    most = std::max(most, sim::notifyBuffered());
  }
  const std::string tail = "\ntest.changed\n";
  ASSERT_EQ(write(pipe, tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
  close(pipe);
  EXPECT_EQ(sim::runLoopOnce(), 1);
  EXPECT_LE(most, 4096u);
  EXPECT_EQ(sim::notifyBuffered(), 0u);
}

// Anything but a FIFO in the notification folder is left alone: a link
// there could point at any file on the machine, and a post must not write
// into it, nor into a plain file named like a pipe.
TEST_F(Notify, PostsWriteOnlyIntoPipes) {
  TempRoot outside;
  outside.put("/victim", "precious");
  const std::string dir = root_.host("/.sim/notify");
  ASSERT_EQ(symlink(outside.host("/victim").c_str(), (dir + "/evil.fifo").c_str()), 0);
  root_.put("/.sim/notify/plain.fifo", "plain");
  host::notifyPost("test.changed");
  EXPECT_EQ(outside.get("/victim"), "precious");
  EXPECT_EQ(root_.get("/.sim/notify/plain.fifo"), "plain");
  struct stat st {};
  EXPECT_EQ(lstat((dir + "/evil.fifo").c_str(), &st), 0) << "not ours to remove";
  EXPECT_EQ(sim::runLoopOnce(), 1) << "our own pipe still hears the post";
}

// The pipes of processes that died are removed when the next one boots, not
// only when some process posts.
TEST_F(Notify, BootRemovesThePipesOfEndedProcesses) {
  const std::string dir = root_.host("/.sim/notify");
  ASSERT_EQ(mkfifo((dir + "/999999-1.fifo").c_str(), 0600), 0);
  sim::boot(testing_support::bareBoot(root_));
  EXPECT_FALSE(std::filesystem::exists(dir + "/999999-1.fifo"));
  int live = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) live += entry.is_fifo();
  EXPECT_EQ(live, 1) << "this process's own pipe";
}

// Without its folder a process would never hear another's posts; the boot
// says so instead of staying silent.
TEST(NotifyFolder, AProblemWithTheFolderIsReported) {
  TempRoot plain;
  plain.put("/.sim", "a file where the folder belongs");
  sim::boot(testing_support::bareBoot(plain));
  EXPECT_NE(sim::notificationProblem().find("/.sim/notify"), std::string::npos) << sim::notificationProblem();
  host::notifyPost("test.changed");  // harmless without a folder
  sim::shutdown();

  TempRoot outside, linked;
  ASSERT_EQ(symlink(outside.path().c_str(), linked.host("/.sim").c_str()), 0);
  sim::boot(testing_support::bareBoot(linked));
  EXPECT_FALSE(std::filesystem::exists(outside.path() + "/notify")) << "nothing is made outside the root";
  EXPECT_NE(sim::notificationProblem(), "");
  sim::shutdown();

  TempRoot fine;
  sim::boot(testing_support::bareBoot(fine));
  EXPECT_EQ(sim::notificationProblem(), "");
  sim::shutdown();
}

}  // namespace
