// The real deliverables, each built with its adapter copy, loaded into a
// SpringBoard process of stand-ins: start-up, events, front application
// hooks, settings changes through the file or the preferences daemon, and
// the switch with its menu.
#import <Foundation/Foundation.h>

#include <gtest/gtest.h>
#include <notify.h>

#include "host/releases.h"
#include "sim/frameworks/platform.h"
#include "tests/adapter/host_process.h"
#include "tests/adapter/pool.h"
#include "adapter/include/Activator.h"
#include "adapter/include/Flipswitch.h"

namespace {

using namespace hostprocess;
constexpr double kIOS5 = host::coreFoundationOf("5.0");
constexpr double kIOS7 = host::coreFoundationOf("7.0");
constexpr double kIOS9 = host::coreFoundationOf("9.0");
constexpr double kIOS14 = host::coreFoundationOf("14.0");

constexpr char kUp[] = "com.vantorel.brightnesslistener.up";
constexpr char kDown[] = "com.vantorel.brightnesslistener.down";
constexpr char kSettings[] = "/var/mobile/Library/Preferences/com.vantorel.lumivo.plist";
constexpr char kDomain[] = "com.vantorel.lumivo";
constexpr char kChanged[] = "com.vantorel.lumivo.preferencechanged";

// The level the event set (through whichever function the host has), or
// none when it set none.
std::optional<float> press(const char* listener, bool* handled = nullptr) {
  const std::vector<float>& backlight = standin::backlightLevels();
  const std::vector<float>& display = standin::displayBrightnessLevels();
  const std::size_t before[] = {backlight.size(), display.size()};
  standin::EventOutcome outcome = standin::sendEvent(listener);
  EXPECT_TRUE(outcome.delivered) << listener;
  if (handled) *handled = outcome.handled;
  if (backlight.size() > before[0]) return backlight.back();
  if (display.size() > before[1]) return display.back();
  return std::nullopt;
}

NSDictionary* settingsWith(NSString* key, BOOL value) {
  return [NSDictionary dictionaryWithObject:[NSNumber numberWithBool:value] forKey:key];
}

using StartUpTest = PooledTest;

// From iOS 8 SpringBoard names the front application itself: only its
// front display handler is replaced.
TEST_F(StartUpTest, ListenersRegisterUpThenDownAndHooksFollowTheHostGeneration) {
  ASSERT_TRUE(bootSpringBoard(kIOS9));
  EXPECT_EQ(standin::listenerNames(), (std::vector<std::string>{kUp, kDown}));
  id up = standin::listenerNamed(kUp);
  EXPECT_TRUE([up isKindOfClass:NSClassFromString(@"BrightnessListener")]);
  // By name: under clang, GCC's runtime registers only the protocol objects
  // of files that adopt the protocol, not those that only name it.
  EXPECT_TRUE([up conformsToProtocol:objc_getProtocol("LAListener")]);
  EXPECT_EQ(standin::hookCalls(), (std::vector<std::string>{"SpringBoard frontDisplayDidChange:"}));
}

TEST_F(StartUpTest, IOS7HooksTheWorkspaceThatNamesTheFrontApplication) {
  ASSERT_TRUE(bootSpringBoard(kIOS7));
  EXPECT_EQ(standin::hookCalls(), (std::vector<std::string>{"SBWorkspace init", "SBWorkspace dealloc",
                                                            "SpringBoard frontDisplayDidChange:"}));
}

TEST_F(StartUpTest, OldHostsHookDisplayStacksAndTheArgumentLessHandler) {
  ASSERT_TRUE(bootSpringBoard(kIOS5));
  EXPECT_EQ(standin::hookCalls(), (std::vector<std::string>{"SBDisplayStack init", "SBDisplayStack dealloc",
                                                            "SpringBoard frontDisplayDidChange"}));
}

using EventTest = PooledTest;

TEST_F(EventTest, EventsStepFromTheScreensBrightnessAndAreHandled) {
  ASSERT_TRUE(bootSpringBoard(kIOS9));
  standin::setScreenBrightness(0.5);
  bool handled = false;
  EXPECT_EQ(press(kUp, &handled), 0.55f);
  EXPECT_TRUE(handled);
  EXPECT_EQ(press(kDown, &handled), 0.45f);
  EXPECT_TRUE(handled);
}

TEST_F(EventTest, NoMainScreenStepsFromZero) {
  ASSERT_TRUE(bootSpringBoard(kIOS9));
  standin::setScreenBrightness(0.9);
  EXPECT_EQ(press(kUp), 0.95f);
  standin::setMainScreenPresent(false);
  EXPECT_EQ(press(kUp), 0.05f);
  EXPECT_EQ(press(kDown), -0.05f);
}

TEST_F(EventTest, HostsWithoutGraphicsServicesBacklightStepThroughBackBoardServices) {
  ASSERT_TRUE(bootSpringBoard(kIOS14));
  standin::setScreenBrightness(0.5);
  EXPECT_EQ(press(kUp), 0.55f);
  EXPECT_EQ(standin::displayBrightnessLevels(), std::vector<float>{0.55f});
  EXPECT_TRUE(standin::backlightLevels().empty());
}

using FrontApplicationTest = PooledTest;

TEST_F(FrontApplicationTest, FrontDisplayChangeReachesTheExtensionAndTheHostsOwnHandler) {
  ASSERT_TRUE(bootSpringBoard(kIOS9));
  standin::daemonSetValue(kDomain, "LVDisable-com.example.blocked", [NSNumber numberWithBool:YES]);
  bool handled = true;

  standin::showApplication("com.example.blocked");
  EXPECT_EQ(standin::frontDisplayChanges(), 1);
  ASSERT_NE(standin::lastFrontDisplay(), nil);
  EXPECT_EQ(press(kUp, &handled), std::nullopt);
  EXPECT_FALSE(handled);

  standin::showApplication("com.example.other");
  EXPECT_EQ(standin::frontDisplayChanges(), 2);
  EXPECT_NE(press(kUp, &handled), std::nullopt);
  EXPECT_TRUE(handled);
}

TEST_F(FrontApplicationTest, OldHostsFindTheFrontApplicationThroughTheSecondDisplayStack) {
  ASSERT_TRUE(bootSpringBoard(kIOS5));
  writeDeviceFile(kSettings, settingsWith(@"LVDisable-com.example.blocked", YES));
  standin::showApplication("com.example.blocked");
  EXPECT_EQ(standin::frontDisplayChanges(), 1);
  EXPECT_EQ(press(kUp), std::nullopt);
  standin::showApplication("com.example.other");
  EXPECT_NE(press(kUp), std::nullopt);
}

TEST_F(FrontApplicationTest, LockedDeviceLeavesTheFrontApplicationAlone) {
  ASSERT_TRUE(bootSpringBoard(kIOS9));
  standin::daemonSetValue(kDomain, "disableSpringBoard", [NSNumber numberWithBool:YES]);
  notify_post(kChanged);
  standin::runLoopOnce();
  standin::setLocked(true);
  standin::showApplication(std::nullopt);
  EXPECT_NE(press(kUp), std::nullopt) << "the home screen went unseen while locked";
  standin::setLocked(false);
  standin::showApplication(std::nullopt);
  EXPECT_EQ(press(kUp), std::nullopt);
}

using SettingsChangeTest = PooledTest;

// iOS 8 and later: the Settings application writes through the preferences
// daemon, which writes the file later; the extension must see the change
// when the notification arrives, not at the next respring.
TEST_F(SettingsChangeTest, PaneChangeThroughTheDaemonAppliesAtTheNotification) {
  ASSERT_TRUE(bootSpringBoard(kIOS9));
  writeDeviceFile(kSettings, settingsWith(@"enabled", YES));
  EXPECT_NE(press(kUp), std::nullopt);

  standin::daemonSetValue(kDomain, "enabled", [NSNumber numberWithBool:NO]);
  notify_post(kChanged);
  EXPECT_EQ(standin::runLoopOnce(), 1);
  EXPECT_EQ(press(kUp), std::nullopt);
}

TEST_F(SettingsChangeTest, OlderHostsReadTheFileAtTheNotification) {
  ASSERT_TRUE(bootSpringBoard(kIOS7));
  standin::setScreenBrightness(0.5);
  writeDeviceFile(kSettings, settingsWith(@"forceMode", YES));
  EXPECT_EQ(press(kUp), 0.55f) << "no reload before the notification";
  notify_post(kChanged);
  standin::runLoopOnce();
  EXPECT_EQ(press(kUp), 0.75f);
}

using SwitchTest = PooledTest;

TEST_F(SwitchTest, TurningTheSwitchOffStopsTheRunningExtension) {
  ASSERT_TRUE(bootSpringBoard(kIOS9));
  id<FSSwitchDataSource> source = [loadSwitch() autorelease];
  ASSERT_NE(source, nil);
  EXPECT_EQ([source stateForSwitchIdentifier:@"com.vantorel.lumivo.switch"], 1);

  [source applyState:FSSwitchStateOff forSwitchIdentifier:@"com.vantorel.lumivo.switch"];
  EXPECT_FALSE([[standin::daemonValues(kDomain) objectForKey:@"enabled"] boolValue]);
  EXPECT_EQ([source stateForSwitchIdentifier:@"com.vantorel.lumivo.switch"], 0);
  ASSERT_FALSE(standin::postedNotifications().empty());
  EXPECT_EQ(standin::postedNotifications().back(), kChanged);
  standin::runLoopOnce();
  EXPECT_EQ(press(kUp), std::nullopt);
}

TEST_F(SwitchTest, MenuSetsForceModeAndOpensThePane) {
  ASSERT_TRUE(bootSpringBoard(kIOS9));
  standin::setScreenBrightness(0.5);
  id<FSSwitchDataSource> source = [loadSwitch() autorelease];
  ASSERT_NE(source, nil);
  [source applyAlternateActionForSwitchIdentifier:@"com.vantorel.lumivo.switch"];
  auto alerts = standin::alertsOnScreen();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].title, "Lumivo");
  EXPECT_EQ(alerts[0].message, std::nullopt);
  EXPECT_EQ(alerts[0].delegate, source);
  EXPECT_EQ(alerts[0].buttons,
            (std::vector<std::string>{"Dismiss", "Force mode ON", "Force mode OFF", "Settings"}));

  standin::tapAlertButton(0, 1);
  EXPECT_TRUE([[standin::daemonValues(kDomain) objectForKey:@"forceMode"] boolValue]);
  standin::runLoopOnce();
  EXPECT_EQ(press(kUp), 0.75f);

  [source applyAlternateActionForSwitchIdentifier:@"com.vantorel.lumivo.switch"];
  standin::tapAlertButton(0, 3);
  standin::daemonSetValue("net.dorwick.preferenceorganizer2", "ShowTweaks", [NSNumber numberWithBool:YES]);
  [source applyAlternateActionForSwitchIdentifier:@"com.vantorel.lumivo.switch"];
  standin::tapAlertButton(0, 3);
  EXPECT_EQ(standin::openedLinks(),
            (std::vector<std::string>{"prefs:root=Lumivo2", "prefs:root=Tweaks&path=Lumivo2"}));
}

TEST_F(SwitchTest, IOS14MenuIsAnAlertControllerWithTheSameButtonsAndOutcomes) {
  ASSERT_TRUE(bootSpringBoard(kIOS14));
  id<FSSwitchDataSource> source = [loadSwitch() autorelease];
  ASSERT_NE(source, nil);
  [source applyAlternateActionForSwitchIdentifier:@"com.vantorel.lumivo.switch"];
  auto alerts = standin::alertsOnScreen();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_TRUE(alerts[0].controller);
  EXPECT_EQ(alerts[0].title, "Lumivo");
  EXPECT_EQ(alerts[0].buttons,
            (std::vector<std::string>{"Dismiss", "Force mode ON", "Force mode OFF", "Settings"}));
  standin::tapAlertButton(0, 1);
  EXPECT_TRUE([[standin::daemonValues(kDomain) objectForKey:@"forceMode"] boolValue]);
  EXPECT_EQ(standin::windowsVisible(), 0);
}

// The toggle framework may release the switch while its menu is still on
// screen; a later tap reaches nothing of it, and the menu still goes.
TEST_F(SwitchTest, IOS14MenuTappedAfterTheSwitchIsGoneDoesNothing) {
  ASSERT_TRUE(bootSpringBoard(kIOS14));
  id source = loadSwitch();
  ASSERT_NE(source, nil);
  [source applyAlternateActionForSwitchIdentifier:@"com.vantorel.lumivo.switch"];
  [source release];
  ASSERT_EQ(standin::alertsOnScreen().size(), 1u);
  standin::tapAlertButton(0, 1);
  EXPECT_EQ([standin::daemonValues(kDomain) objectForKey:@"forceMode"], nil);
  EXPECT_EQ(standin::windowsVisible(), 0);
}

TEST_F(SwitchTest, AlertViewMenuTappedAfterTheSwitchIsGoneDoesNothing) {
  ASSERT_TRUE(bootSpringBoard(kIOS7));
  id source = loadSwitch();
  ASSERT_NE(source, nil);
  [source applyAlternateActionForSwitchIdentifier:@"com.vantorel.lumivo.switch"];
  [source release];
  ASSERT_EQ(standin::alertsOnScreen().size(), 1u);
  EXPECT_EQ(standin::alertsOnScreen()[0].delegate, nil);
  standin::tapAlertButton(0, 1);
  EXPECT_TRUE(standin::postedNotifications().empty());
}

}  // namespace
