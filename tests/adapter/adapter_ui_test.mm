// The adapter's UIKit and GraphicsServices operations, and the switch class
// with its alerts and links.
#import <UIKit/UIKit.h>

#include <gtest/gtest.h>

#include "host/releases.h"
#include "sim/frameworks/platform.h"
#include "sim/uikit.h"
#include "tests/adapter/pool.h"
#include "adapter/classes/LumivoSwitch.h"
#include "host/host.h"

@interface UnregisteredSwitch : LumivoSwitch
@end
@implementation UnregisteredSwitch
@end

namespace {

id objc(host::Id object) { return reinterpret_cast<id>(object); }

using ScreenTest = PooledTest;

TEST_F(ScreenTest, BrightnessIsTheMainScreensInThePlatformsWidth) {
  standin::setMainScreenPresent(true);
  sim::setScreenBrightness(0.3);
  host::Id screen = host::screenMain();
  ASSERT_EQ(objc(screen), [UIScreen mainScreen]);
  EXPECT_EQ(host::screenBrightness(screen), host::CGFloat(0.3));
}

// On the GNU runtime, as on some others, a floating-point result of a
// message to nil is whatever the previous call left in the register.
TEST_F(ScreenTest, NoMainScreenReadsAsZeroEvenAfterABrightnessWasRead) {
  standin::setMainScreenPresent(true);
  sim::setScreenBrightness(0.8);
  EXPECT_EQ(host::screenBrightness(host::screenMain()), host::CGFloat(0.8));
  standin::setMainScreenPresent(false);
  host::Id screen = host::screenMain();
  EXPECT_EQ(screen, nullptr);
  EXPECT_EQ(host::screenBrightness(screen), host::CGFloat(0));
}

// A C++ data source recording what reaches it, as the switch bundle's own.
struct Calls {
  int state = 1;
  std::string lastIdentifier;
  std::vector<int> applied;
  int alternates = 0;
  std::vector<std::intptr_t> clicked;
  host::Id lastAlert = nullptr;
  int destroyed = 0;
  bool controllerMenu = false;  // the menu is an alert controller, as from iOS 14
};
Calls gCalls;

class RecordingSwitch : public host::SwitchDataSource, public host::AlertDelegate {
 public:
  ~RecordingSwitch() override { ++gCalls.destroyed; }
  int stateForSwitchIdentifier(std::string_view identifier) override {
    gCalls.lastIdentifier = identifier;
    return gCalls.state;
  }
  void applyStateForSwitchIdentifier(int newState, std::string_view identifier) override {
    gCalls.lastIdentifier = identifier;
    gCalls.applied.push_back(newState);
  }
  void applyAlternateActionForSwitchIdentifier(std::string_view identifier) override {
    gCalls.lastIdentifier = identifier;
    ++gCalls.alternates;
    if (gCalls.controllerMenu) {
      host::Id controller = host::alertControllerCreate("Menu", nullptr, this, "Cancel", {"One", "Two"});
      host::alertControllerPresent(controller);
      host::release(controller);
      return;
    }
    host::Id alert = host::alertCreate("Menu", nullptr, this, "Cancel", {"One", "Two"});
    host::alertShow(alert);
    host::release(alert);
  }
  void alertViewClickedButtonAtIndex(host::Id alertView, std::intptr_t index) override {
    gCalls.lastAlert = alertView;
    gCalls.clicked.push_back(index);
  }
};

host::SwitchDataSource* makeRecordingSwitch() { return new RecordingSwitch; }

// A second class of the same name, as another image would bring.
class ImpostorSwitch : public RecordingSwitch {
 public:
  int stateForSwitchIdentifier(std::string_view) override { return 7; }
};
host::SwitchDataSource* makeImpostorSwitch() { return new ImpostorSwitch; }

class SwitchClassTest : public PooledTest {
 protected:
  void SetUp() override {
    PooledTest::SetUp();
    gCalls = Calls{};
    host::registerSwitchDataSourceClass("LumivoSwitch", &makeRecordingSwitch);
  }
};

TEST_F(SwitchClassTest, DataSourceCallsReachTheRegisteredCppObject) {
  LumivoSwitch* source = [[[LumivoSwitch alloc] init] autorelease];
  ASSERT_NE(source, nil);
  gCalls.state = 0;
  EXPECT_EQ([source stateForSwitchIdentifier:@"com.example.switch"], 0);
  EXPECT_EQ(gCalls.lastIdentifier, "com.example.switch");
  [source applyState:FSSwitchStateIndeterminate forSwitchIdentifier:@"x"];
  [source applyState:static_cast<FSSwitchState>(5) forSwitchIdentifier:nil];
  EXPECT_EQ(gCalls.applied, (std::vector<int>{-1, 5}));
  EXPECT_EQ(gCalls.lastIdentifier, "");
}

TEST_F(SwitchClassTest, NameRegisteredTwiceKeepsTheFirstClass) {
  host::registerSwitchDataSourceClass("LumivoSwitch", &makeImpostorSwitch);
  host::registerSwitchDataSourceClass("LumivoSwitch", nullptr);
  host::registerSwitchDataSourceClass(nullptr, &makeImpostorSwitch);
  LumivoSwitch* source = [[[LumivoSwitch alloc] init] autorelease];
  ASSERT_NE(source, nil);
  gCalls.state = 1;
  EXPECT_EQ([source stateForSwitchIdentifier:@"s"], 1) << "the later registration replaced the first";
}

TEST_F(SwitchClassTest, AlertIsDelegatedToTheSwitchObjectAndKeepsButtonOrder) {
  LumivoSwitch* source = [[LumivoSwitch alloc] init];
  const std::size_t shown = standin::alertsOnScreen().size();
  [source applyAlternateActionForSwitchIdentifier:@"com.example.switch"];
  auto alerts = standin::alertsOnScreen();
  ASSERT_EQ(alerts.size(), shown + 1);
  const standin::Alert& alert = alerts.back();
  EXPECT_EQ(alert.title, "Menu");
  EXPECT_EQ(alert.message, std::nullopt);
  EXPECT_EQ(alert.delegate, source);
  EXPECT_EQ(alert.buttons, (std::vector<std::string>{"Cancel", "One", "Two"}));

  standin::tapAlertButton(alerts.size() - 1, 2);
  EXPECT_EQ(gCalls.clicked, (std::vector<std::intptr_t>{2}));
  EXPECT_EQ(objc(gCalls.lastAlert), alert.alert);
  [source release];
}

TEST_F(SwitchClassTest, ReleasingTheSwitchDestroysItsCppObjectAndDelegation) {
  LumivoSwitch* source = [[LumivoSwitch alloc] init];
  [source release];
  EXPECT_EQ(gCalls.destroyed, 1);
  class Stranger : public host::AlertDelegate {
   public:
    void alertViewClickedButtonAtIndex(host::Id, std::intptr_t) override {}
  } stranger;
  host::Id alert = host::alertCreate("Menu", "Text", &stranger, "Cancel", {});
  host::alertShow(alert);
  ASSERT_FALSE(standin::alertsOnScreen().empty());
  EXPECT_EQ(standin::alertsOnScreen().back().delegate, nil);
  EXPECT_EQ(standin::alertsOnScreen().back().message, "Text");
  host::release(alert);
}

// The toggle framework may let go of the switch while its menu is still on
// screen: a later tap reaches nothing of it, and the menu still goes.
TEST_F(SwitchClassTest, AlertViewMenuTappedAfterTheSwitchIsGoneReachesNothing) {
  LumivoSwitch* source = [[LumivoSwitch alloc] init];
  [source applyAlternateActionForSwitchIdentifier:@"com.example.switch"];
  [source release];
  auto alerts = standin::alertsOnScreen();
  ASSERT_FALSE(alerts.empty());
  EXPECT_EQ(alerts.back().delegate, nil);
  standin::tapAlertButton(alerts.size() - 1, 1);
  EXPECT_TRUE(gCalls.clicked.empty());
}

TEST_F(SwitchClassTest, AlertControllerMenuTappedAfterTheSwitchIsGoneReachesNothing) {
  standin::bootHost(host::kAlertControllerVersion);
  standin::startSpringBoard();
  gCalls.controllerMenu = true;
  LumivoSwitch* source = [[LumivoSwitch alloc] init];
  [source applyAlternateActionForSwitchIdentifier:@"com.example.switch"];
  [source release];
  ASSERT_EQ(standin::alertsOnScreen().size(), 1u);
  ASSERT_TRUE(standin::alertsOnScreen()[0].controller);
  standin::tapAlertButton(0, 1);
  EXPECT_TRUE(gCalls.clicked.empty());
  EXPECT_EQ(standin::windowsVisible(), 0);
}

TEST_F(SwitchClassTest, ClassWithoutARegisteredDataSourceMakesNoInstance) {
  EXPECT_EQ([[UnregisteredSwitch alloc] init], nil);
}

using SwitchPanelTest = PooledTest;

// A process without the toggle framework, then one whose panel lacks the
// method, are told nothing; one with it is told each identifier given.
TEST_F(SwitchPanelTest, StateChangeReachesOnlyAPanelWithTheMethod) {
  host::switchPanelStateDidChange("com.example.switch");
  standin::offerSwitchPanel(false);
  host::switchPanelStateDidChange("com.example.switch");
  EXPECT_TRUE(standin::switchStateChanges().empty());
  standin::offerSwitchPanel(true);
  host::switchPanelStateDidChange(nullptr);
  host::switchPanelStateDidChange("com.example.switch");
  EXPECT_EQ(standin::switchStateChanges(), std::vector<std::string>{"com.example.switch"});
}

using LinkTest = PooledTest;

TEST_F(LinkTest, NullLinksAndApplicationsOpenNothing) {
  standin::bootHost(host::coreFoundationOf("9.0"));
  standin::startSpringBoard();
  const std::size_t before = standin::openedLinks().size();
  EXPECT_EQ(host::urlWithString(nullptr), nullptr);
  host::applicationOpenURL(host::applicationShared(), nullptr);
  host::applicationOpenURL(nullptr, host::urlWithString("prefs:root=Example"));
  EXPECT_EQ(standin::openedLinks().size(), before);
}

}  // namespace
