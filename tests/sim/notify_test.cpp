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

// A bare process on `root` that posts `name` when run.
testing_support::OtherProcess poster(const TempRoot& root, const char* name) {
  return {testing_support::bareBoot(root), [name] {
            host::notifyPost(name);
            return true;
          }};
}

void observe() {
  host::notifyCenterAddObserver(host::darwinNotifyCenter(), nullptr, &countCall, "test.changed", nullptr,
                                host::kSuspensionCoalesce);
}

class Notify : public ::testing::Test {
 protected:
  void SetUp() override {
    gCalls = 0;
    sim::boot(testing_support::bareBoot(root_));
    observe();
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

// Processes forked before this one boots post on the same root and on
// another one.
TEST(NotifyAcross, CrossesProcessesOnTheSameRootOnly) {
  TempRoot root, other;
  testing_support::OtherProcess same = poster(root, "test.changed");
  testing_support::OtherProcess elsewhere = poster(other, "test.changed");
  gCalls = 0;
  sim::boot(testing_support::bareBoot(root));
  observe();
  ASSERT_TRUE(elsewhere.run());
  EXPECT_FALSE(sim::runLoopUntilNotification("test.changed", 200));
  ASSERT_TRUE(same.run());
  EXPECT_TRUE(sim::runLoopUntilNotification("test.changed", 5000));
  EXPECT_EQ(gCalls, 1);
  EXPECT_EQ(sim::postCount("test.changed"), 0) << "this process posted nothing";
  sim::shutdown();
}

TEST(NotifyAcross, FailedRegistrationNeverDelivers) {
  TempRoot root;
  sim::BootOptions options = testing_support::bareBoot(root);
  options.failObserverRegistration = true;
  gCalls = 0;
  sim::boot(options);
  observe();
  host::notifyPost("test.changed");
  sim::runLoopOnce();
  EXPECT_EQ(gCalls, 0);
  sim::shutdown();
}

// The pipes of processes that died are removed when the next one boots, not
// only when some process posts.
TEST(NotifyAcross, BootRemovesThePipesOfEndedProcesses) {
  TempRoot root;
  const std::string dir = root.host("/.sim/notify");
  std::filesystem::create_directories(dir);
  ASSERT_EQ(mkfifo((dir + "/999999-1.fifo").c_str(), 0600), 0);
  sim::boot(testing_support::bareBoot(root));
  EXPECT_FALSE(std::filesystem::exists(dir + "/999999-1.fifo"));
  int live = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) live += entry.is_fifo();
  EXPECT_EQ(live, 1) << "this process's own pipe";
  sim::shutdown();
}

// Without its folder a process would never hear another's posts; the boot
// says so instead of staying silent. Each device is a process of its own.
TEST(NotifyFolder, AProblemWithTheFolderIsReported) {
  TempRoot plain;
  plain.put("/.sim", "a file where the folder belongs");
  EXPECT_TRUE(testing_support::runInOtherProcess(testing_support::bareBoot(plain), [] {
    host::notifyPost("test.changed");  // harmless without a folder
    return sim::notificationProblem().find("/.sim/notify") != std::string::npos;
  }));

  TempRoot outside, linked;
  ASSERT_EQ(symlink(outside.path().c_str(), linked.host("/.sim").c_str()), 0);
  EXPECT_TRUE(testing_support::runInOtherProcess(testing_support::bareBoot(linked),
                                                 [] { return sim::notificationProblem() != ""; }));
  EXPECT_FALSE(std::filesystem::exists(outside.path() + "/notify")) << "nothing is made outside the root";

  TempRoot fine;
  EXPECT_TRUE(testing_support::runInOtherProcess(testing_support::bareBoot(fine),
                                                 [] { return sim::notificationProblem() == ""; }));
}

}  // namespace
