// Loading Lumivo2 into SpringBoard: where it is installed, which processes
// the loader puts it in, what its initialiser does and in which order.

#include <algorithm>
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
  writeSettings({});
  boot(host::coreFoundationOf("7.0"));
  auto at = [](const std::string& call, const std::string& detail = {}) {
    int index = sim::journalIndexOf(call, detail);
    EXPECT_GE(index, 0) << call << " " << detail;
    return index;
  };
  const int load = at("loaderLoad", "Lumivo2.dylib");
  const int upListener = at("-[LAActivator registerListener:forName:]", kUp);
  const int downListener = at("-[LAActivator registerListener:forName:]", kDown);
  const int observer =
      at("CFNotificationCenterAddObserver()", std::string(settings::kChangedNotification) + " suspension=2");
  const auto& entries = sim::journalEntries();
  const auto read = std::find_if(entries.begin(), entries.end(), [](const sim::JournalEntry& entry) {
    return entry.call == "+[NSPropertyListSerialization propertyListWithData:options:format:error:]";
  });
  const int settingsRead = static_cast<int>(read - entries.begin());
  const int firstHook = at("MSHookMessageEx()", "SBWorkspace init");
  const int lastHook = at("MSHookMessageEx()", "SpringBoard frontDisplayDidChange:");
  EXPECT_LT(load, upListener);
  EXPECT_LT(upListener, downListener);
  EXPECT_LT(downListener, observer);
  EXPECT_LT(observer, settingsRead);
  EXPECT_LT(settingsRead, firstHook);
  EXPECT_LT(firstHook, lastHook);
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

TEST_F(Startup, SettingsPaneInAnotherProcessReachesSpringBoard) {
  sim::BootOptions pane = testing_support::bareBoot(root_);
  pane.process = "Preferences";
  testing_support::OtherProcess preferences(pane, [] {
    const host::PreferenceValue on = settings::booleanValue(true);
    return settings::changeSettingsAndPost({{settings::kForceModeKey, &on}}) == host::PreferencesWrite::kWritten;
  });
  boot();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  ASSERT_TRUE(preferences.run());
  ASSERT_TRUE(sim::runLoopUntilNotification(settings::kChangedNotification, 5000));
  EXPECT_TRUE(stepped(upFrom(0.5), 0.75f));
}

}  // namespace
}  // namespace extension_test
