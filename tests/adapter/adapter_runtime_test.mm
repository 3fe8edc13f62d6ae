// The adapter's runtime, loader, pool, notification and plain-file
// operations against the GNU runtime and the stand-ins.
#import <Foundation/Foundation.h>

#include <gtest/gtest.h>
#include <objc/runtime.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "sim/frameworks/platform.h"
#include "tests/adapter/pool.h"
#include "host/host.h"
#include "sim/device.h"

@interface HookTarget : NSObject
- (int)answer;
@end
@implementation HookTarget
- (int)answer {
  return 1;
}
@end

@interface DeallocProbe : NSObject
@end
static int gDeallocs = 0;
@implementation DeallocProbe
- (void)dealloc {
  ++gDeallocs;
  [super dealloc];
}
@end

namespace {

host::Imp gSavedAnswer = nullptr;

int answerPlusTen(host::Id self, host::Sel cmd) {
  return 10 + reinterpret_cast<int (*)(host::Id, host::Sel)>(gSavedAnswer)(self, cmd);
}

using RuntimeTest = PooledTest;

TEST_F(RuntimeTest, ClassesAndSelectorsAreTheRuntimesOwn) {
  EXPECT_EQ(reinterpret_cast<void*>(host::getClass("HookTarget")), reinterpret_cast<void*>([HookTarget class]));
  EXPECT_EQ(host::getClass("NoSuchClassAnywhere"), nullptr);
  EXPECT_EQ(host::getClass(nullptr), nullptr);
  EXPECT_TRUE(sel_isEqual(reinterpret_cast<SEL>(const_cast<host::Selector*>(host::selectorNamed("answer"))),
                          @selector(answer)));
}

TEST_F(RuntimeTest, ReplacedMethodRunsReplacementAndSavedRunsOriginal) {
  host::hookMessage(host::getClass("HookTarget"), host::selectorNamed("answer"),
                    reinterpret_cast<host::Imp>(&answerPlusTen), &gSavedAnswer);
  ASSERT_NE(gSavedAnswer, nullptr);
  HookTarget* target = [[[HookTarget alloc] init] autorelease];
  EXPECT_EQ([target answer], 11);
}

TEST_F(RuntimeTest, NullClassReachesNoHookAndLeavesSavedAlone) {
  const std::size_t before = standin::hookCalls().size();
  host::Imp saved = reinterpret_cast<host::Imp>(&answerPlusTen);
  host::hookMessage(nullptr, host::selectorNamed("init"), reinterpret_cast<host::Imp>(&answerPlusTen), &saved);
  EXPECT_EQ(standin::hookCalls().size(), before);
  EXPECT_EQ(saved, reinterpret_cast<host::Imp>(&answerPlusTen));
}

TEST_F(RuntimeTest, RetainAndReleaseCountReferencesAndIgnoreNull) {
  gDeallocs = 0;
  DeallocProbe* probe = [[DeallocProbe alloc] init];
  host::Id id = reinterpret_cast<host::Id>(probe);
  EXPECT_EQ(host::retain(id), id);
  EXPECT_EQ([probe retainCount], 2u);
  host::release(id);
  EXPECT_EQ(gDeallocs, 0);
  host::release(id);
  EXPECT_EQ(gDeallocs, 1);
  EXPECT_EQ(host::retain(nullptr), nullptr);
  host::release(nullptr);
}

TEST_F(RuntimeTest, DrainingThePoolFreesItsTemporaryObjects) {
  gDeallocs = 0;
  host::AutoreleasePool* pool = host::autoreleasePoolPush();
  ASSERT_NE(pool, nullptr);
  [[[DeallocProbe alloc] init] autorelease];
  EXPECT_EQ(gDeallocs, 0);
  host::autoreleasePoolDrain(pool);
  EXPECT_EQ(gDeallocs, 1);
}

struct Delivery {
  int calls = 0;
  std::string name;
  void* observer = nullptr;
  const void* object = &calls;
  const void* userInfo = &calls;
};
Delivery gDelivery;

void record(host::NotifyCenter*, void* observer, const char* name, const void* object, const void* userInfo) {
  ++gDelivery.calls;
  gDelivery.name = name ? name : "(null)";
  gDelivery.observer = observer;
  gDelivery.object = object;
  gDelivery.userInfo = userInfo;
}

// Notifications travel through the device's notification folder: a bare
// process of the default release runs on a fresh root.
class NotificationTest : public DeviceRootTest {
 protected:
  NotificationTest() : DeviceRootTest(sim::kCurrentVersion) {}
  void SetUp() override {
    DeviceRootTest::SetUp();
    sim::BootOptions bare;
    bare.root = root_;
    bare.loadModules = false;
    sim::boot(bare);
  }
  void TearDown() override {
    sim::shutdown();
    DeviceRootTest::TearDown();
  }
};

TEST_F(NotificationTest, ObserverGetsTheNameAndItsOwnObserverOnTheRunLoop) {
  int token = 0;
  host::notifyCenterAddObserver(host::darwinNotifyCenter(), &token, &record, "com.example.changed", nullptr,
                                host::kSuspensionCoalesce);
  host::notifyPost("com.example.changed");
  EXPECT_EQ(gDelivery.calls, 0) << "delivery waits for the run loop";
  EXPECT_EQ(sim::runLoopOnce(), 1);
  EXPECT_EQ(gDelivery.calls, 1);
  EXPECT_EQ(gDelivery.name, "com.example.changed");
  EXPECT_EQ(gDelivery.observer, &token);
  EXPECT_EQ(gDelivery.object, nullptr);
  EXPECT_EQ(gDelivery.userInfo, nullptr);
}

TEST_F(NotificationTest, IncompleteRegistrationsRegisterNothing) {
  const std::size_t posted = standin::postedNotifications().size();
  host::notifyCenterAddObserver(nullptr, nullptr, &record, "com.example.a", nullptr, 2);
  host::notifyCenterAddObserver(host::darwinNotifyCenter(), nullptr, nullptr, "com.example.b", nullptr, 2);
  host::notifyCenterAddObserver(host::darwinNotifyCenter(), nullptr, &record, nullptr, nullptr, 2);
  host::notifyPost("com.example.a");
  host::notifyPost("com.example.b");
  host::notifyPost(nullptr);
  EXPECT_EQ(sim::runLoopOnce(), 0);
  EXPECT_EQ(standin::postedNotifications().size() - posted, 2u);
}

// iOS 7: no preferences daemon in front of the files.
}  // namespace
