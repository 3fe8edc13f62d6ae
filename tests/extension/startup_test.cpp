// Loading Lumivo2 into SpringBoard: where it is installed, which processes
// the loader puts it in, what its initialiser does and in which order.

#include <fstream>

#include "settings/store.h"
#include "tests/extension/springboard_fixture.h"
#include "tests/support/other_process.h"
#include "tests/support/plistlib.h"

namespace extension_test {
namespace {

constexpr char kLibraryFolder[] = "/Library/MobileSubstrate/DynamicLibraries";

class Startup : public SpringBoardTest {};

TEST_F(Startup, LibraryAndFilterAreInstalledWhereTheDeviceHasThem) {
  const std::string library = root_.host(std::string(kLibraryFolder) + "/Lumivo2.dylib");
  std::ifstream in(library, std::ios::binary);
  char magic[4] = {};
  in.read(magic, 4);
  EXPECT_EQ(std::string(magic, 4), "\x7f" "ELF");
  EXPECT_EQ(testing_support::plistlibDump(root_.host(std::string(kLibraryFolder) + "/Lumivo2.plist")),
            "dict:{'Filter'=dict:{'Bundles'=array:[string:'com.apple.springboard']}}");
}

TEST_F(Startup, InitialiserRunsItsStepsInOrder) {
  boot(host::coreFoundationOf("7.0"));
  auto at = [](const std::string& call, const std::string& detail = {}) {
    int index = sim::journalIndexOf(call, detail);
    EXPECT_GE(index, 0) << call << " " << detail;
    return index;
  };
  const int load = at("loaderLoad", "Lumivo2.dylib");
  const int pool = at("autoreleasePoolPush");
  const int upListener = at("-[LAActivator registerListener:forName:]", kUp);
  const int downListener = at("-[LAActivator registerListener:forName:]", kDown);
  const int observer = at("CFNotificationCenterAddObserver()", std::string(settings::kChangedNotification) + " suspension=2");
  const int settingsRead = at("readPreferences", settings::kSettingsPath);
  const int firstHook = at("MSHookMessageEx()", "SBWorkspace init");
  const int lastHook = at("MSHookMessageEx()", "SpringBoard frontDisplayDidChange:");
  const int drain = at("autoreleasePoolDrain");
  EXPECT_LT(load, pool);
  EXPECT_LT(pool, upListener);
  EXPECT_LT(upListener, downListener);
  EXPECT_LT(downListener, observer);
  EXPECT_LT(observer, settingsRead);
  EXPECT_LT(settingsRead, firstHook);
  EXPECT_LT(firstHook, lastHook);
  EXPECT_LT(lastHook, drain);
  EXPECT_EQ(sim::journalCount("+[LAActivator sharedInstance]"), 2) << "asked once for each registration";
  EXPECT_EQ(sim::registeredListenerNames(), (std::vector<std::string>{kUp, kDown}));
}

TEST_F(Startup, SettingsAreLoadedBeforeTheFirstFrontDisplayChange) {
  writeSettings({{settings::kDisableSpringBoardKey, true}});
  boot();
  sim::goHome();
  EXPECT_TRUE(ignored(upFrom(0.5)));
}

TEST_F(Startup, WithoutASettingsFileBothActionsWorkWithTheDefaultStep) {
  boot();
  EXPECT_EQ(root_.get(settings::kSettingsPath), "<absent>");
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  EXPECT_TRUE(stepped(downFrom(0.5), 0.45f));
}

TEST_F(Startup, LoaderLeavesOutProcessesTheFilterDoesNotName) {
  sim::BootOptions o = options();
  o.process = "MobileSafari";
  sim::boot(o);
  EXPECT_EQ(sim::journalCount("loaderLoad"), 0);
  EXPECT_EQ(sim::journalCount("MSHookMessageEx()"), 0);
  EXPECT_TRUE(sim::registeredListenerNames().empty());
  EXPECT_FALSE(up().delivered);

  boot();
  EXPECT_EQ(sim::journalIndexOf("loaderLoad", "Lumivo2.dylib"), 0);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_F(Startup, FailedObserverRegistrationKeepsTheSettingsOfStartUp) {
  writeSettings({{settings::kEnabledKey, false}});
  sim::BootOptions o = options();
  o.failObserverRegistration = true;
  sim::boot(o);
  writeSettings({{settings::kEnabledKey, true}});
  host::notifyPost(settings::kChangedNotification);
  sim::runLoopFor(50);
  EXPECT_TRUE(ignored(upFrom(0.5)));
}

// The home-screen block is recomputed only at a front display change, so a
// library that kept its state across boots would go on blocking.
TEST_F(Startup, EveryBootStartsTheLibraryAfresh) {
  writeSettings({{settings::kDisableSpringBoardKey, true}});
  boot();
  sim::goHome();
  EXPECT_TRUE(ignored(upFrom(0.5)));

  writeSettings({});
  boot();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f)) << "the same library file, loaded again";

  testing_support::TempRoot other(true);
  sim::boot(testing_support::fullBoot(other));
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f)) << "another device's copy";
  EXPECT_EQ(sim::registeredListenerNames(), (std::vector<std::string>{kUp, kDown}));
  sim::shutdown();
}

TEST_F(Startup, SettingsPaneInAnotherProcessReachesSpringBoard) {
  boot();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  sim::BootOptions pane = testing_support::bareBoot(root_);
  pane.process = "Preferences";
  ASSERT_TRUE(testing_support::runInOtherProcess(pane, [] {
    const host::PreferenceValue on = settings::booleanValue(true);
    return settings::changeSettingsAndPost({{settings::kForceModeKey, &on}}) == host::PreferencesWrite::kWritten;
  }));
  ASSERT_TRUE(sim::runLoopUntilNotification(settings::kChangedNotification, 5000));
  EXPECT_TRUE(stepped(upFrom(0.5), 0.75f));
}

}  // namespace
}  // namespace extension_test
