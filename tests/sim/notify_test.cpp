// Darwin notifications: system-wide on one device root, crossing processes,
// coalesced, delivered on the main run loop only.
#include <gtest/gtest.h>

#include "host/host.h"
#include "sim/device.h"
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

}  // namespace
