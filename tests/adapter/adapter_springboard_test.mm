// The adapter's SpringBoard operations on objects that lack their methods,
// and its event-framework operations.
#import <Foundation/Foundation.h>

#include <gtest/gtest.h>

#include "sim/frameworks/platform.h"
#include "tests/adapter/pool.h"
#include "adapter/include/Activator.h"
#include "adapter/classes/BrightnessListener.h"
#include "host/host.h"

namespace {

host::Id hostId(id object) { return reinterpret_cast<host::Id>(object); }

using SpringBoardTest = PooledTest;

// Private classes change between iOS versions; a method a host lacks must
// read as none rather than raise, as a null object does.
TEST_F(SpringBoardTest, ObjectsWithoutTheMethodAndNullYieldNone) {
  for (host::Id object : {hostId([[[NSObject alloc] init] autorelease]), static_cast<host::Id>(nullptr)}) {
    EXPECT_FALSE(host::awayControllerIsLocked(object));
    EXPECT_EQ(host::displayStackTopApplication(object), nullptr);
    EXPECT_EQ(host::applicationDisplayIdentifier(object), std::nullopt);
    EXPECT_EQ(host::workspaceBKSWorkspace(object), nullptr);
    EXPECT_EQ(host::bksWorkspaceTopApplication(object), std::nullopt);
    EXPECT_FALSE(host::lockScreenManagerIsUILocked(object));
    EXPECT_EQ(host::springBoardFrontMostApplication(object), nullptr);
    EXPECT_EQ(host::applicationBundleIdentifier(object), std::nullopt);
  }
}

// A host listener that records what reaches it and marks every event.
class RecordingListener : public host::Listener {
 public:
  void activatorReceiveEvent(host::Id activator, host::Id event) override {
    ++events;
    lastActivator = activator;
    host::eventSetHandled(event, true);
  }
  int events = 0;
  host::Id lastActivator = nullptr;
};

using EventFrameworkTest = PooledTest;

TEST_F(EventFrameworkTest, RegisteredListenerReceivesEventsThroughABrightnessListener) {
  static RecordingListener listener;
  host::Id activator = host::activatorShared();
  ASSERT_EQ(activator, hostId([LAActivator sharedInstance]));
  host::activatorRegisterListener(activator, &listener, "com.example.up");

  id registered = standin::listenerNamed("com.example.up");
  EXPECT_TRUE([registered isKindOfClass:[BrightnessListener class]]);
  // By name: under clang, GCC's runtime registers only the protocol objects
  // of files that adopt the protocol, not those that only name it.
  EXPECT_TRUE([registered conformsToProtocol:objc_getProtocol("LAListener")]);
  standin::EventOutcome outcome = standin::sendEvent("com.example.up");
  EXPECT_TRUE(outcome.delivered);
  EXPECT_TRUE(outcome.handled);
  EXPECT_EQ(listener.events, 1);
  EXPECT_EQ(listener.lastActivator, activator);
}

TEST_F(EventFrameworkTest, IncompleteRegistrationsRegisterNothing) {
  static RecordingListener listener;
  const std::size_t before = standin::listenerNames().size();
  host::activatorRegisterListener(nullptr, &listener, "com.example.a");
  host::activatorRegisterListener(host::activatorShared(), nullptr, "com.example.b");
  host::activatorRegisterListener(host::activatorShared(), &listener, nullptr);
  EXPECT_EQ(standin::listenerNames().size(), before);
  host::eventSetHandled(nullptr, true);
}

// The framework falls back to its defaults (and the listener's Info.plist)
// for every operation the listener does not answer.
TEST_F(EventFrameworkTest, BrightnessListenerAnswersOnlyReceiveEvent) {
  EXPECT_TRUE([BrightnessListener instancesRespondToSelector:@selector(activator:receiveEvent:)]);
  EXPECT_FALSE([BrightnessListener instancesRespondToSelector:NSSelectorFromString(@"activator:abortEvent:")]);
  EXPECT_FALSE([BrightnessListener
      instancesRespondToSelector:NSSelectorFromString(@"activator:requiresLocalizedTitleForListenerName:")]);
}

}  // namespace
