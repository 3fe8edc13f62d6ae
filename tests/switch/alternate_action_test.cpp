// The switch's alternate action: the menu alert, force mode on and off, and
// the link to the settings pane placed as the settings organiser says.
#include <cstdint>
#include <filesystem>

#include "sim/journal.h"
#include "sim/uikit.h"
#include "tests/switch/switch_fixture.h"

namespace switch_test {
namespace {

const char kOrganiserPath[] = "/var/mobile/Library/Preferences/net.dorwick.preferenceorganizer2.plist";

class AlternateAction : public SwitchTest {
 protected:
  // Opens the menu and returns the new alert.
  host::Id openMenu() {
    const std::size_t before = sim::alertsOnScreen().size();
    sim::switchAlternateAction(kSwitchId);
    auto alerts = sim::alertsOnScreen();
    EXPECT_EQ(alerts.size(), before + 1);
    return alerts.empty() ? nullptr : alerts.back().alert;
  }
  void choose(std::intptr_t index) { ASSERT_TRUE(sim::tapAlertButton(openMenu(), index)); }
};

TEST_F(AlternateAction, ShowsTheMenuAlert) {
  sim::switchAlternateAction(kSwitchId);
  auto alerts = sim::alertsOnScreen();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].title, "Lumivo");
  EXPECT_EQ(alerts[0].message, std::nullopt);
  EXPECT_EQ(alerts[0].buttons, (std::vector<std::string>{"Dismiss", "Force mode ON", "Force mode OFF", "Settings"}));
  EXPECT_EQ(posts(), 0);

  ASSERT_TRUE(sim::tapAlertButton(alerts[0].alert, 0));
  EXPECT_TRUE(sim::alertsOnScreen().empty());
}

TEST_F(AlternateAction, ForceModeButtonsSetTheKeyAndPostOnceEach) {
  choose(1);
  EXPECT_EQ(settingsDump(), "dict:{'forceMode'=bool:True}");
  EXPECT_EQ(posts(), 1);

  writeSettings(kEveryType, "FMT_BINARY");
  choose(2);
  EXPECT_EQ(settingsDump(), canonOf(std::string(kEveryType) + "d['forceMode'] = False"));
  EXPECT_EQ(posts(), 2);
  choose(1);
  EXPECT_EQ(settingsDump(), canonOf(std::string(kEveryType) + "d['forceMode'] = True"));
  EXPECT_EQ(posts(), 3);
  EXPECT_TRUE(sim::openedLinks().empty());
}

TEST_F(AlternateAction, DismissAndUnknownIndicesChangeNothing) {
  for (bool withFile : {false, true}) {
    if (withFile) writeSettings(kEveryType, "FMT_BINARY");
    const std::string before = settingsBytes();
    for (std::intptr_t index : {std::intptr_t{0}, std::intptr_t{4}, std::intptr_t{-1}, INTPTR_MAX, INTPTR_MIN}) {
      choose(index);
      EXPECT_EQ(settingsBytes(), before) << index;
    }
  }
  EXPECT_EQ(posts(), 0);
  EXPECT_TRUE(sim::openedLinks().empty());
  EXPECT_TRUE(sim::alertsOnScreen().empty());
}

TEST_F(AlternateAction, SettingsOpensThePaneWhereTheOrganiserPutsIt) {
  const std::string plain = "prefs:root=Lumivo2";
  const std::string tweaks = "prefs:root=Tweaks&path=Lumivo2";
  const struct {
    const char* organiser;  // python `d`, or null for no organiser file
    std::string link;
  } cases[] = {
      {nullptr, plain},
      {"d = {'ShowTweaks': True}", tweaks},
      {"d = {'ShowTweaks': False}", plain},
      {"d = {'ShowTweaks': 0}", plain},
      {"d = {'ShowTweaks': 3}", tweaks},
      {"d = {'ShowTweaks': 'YES'}", tweaks},
      {"d = {'ShowTweaks': 'NO'}", plain},
      {"d = {'Other': True}", plain},
      {"d = [{'ShowTweaks': True}]", plain},
  };
  const std::string organiserFile = root_.host(kOrganiserPath);
  for (const auto& c : cases) {
    std::filesystem::remove(organiserFile);
    if (c.organiser)
      testing_support::python(std::string(c.organiser) + "\nwith open('" + organiserFile +
                              "', 'wb') as f: plistlib.dump(d, f)");
    const std::string organiserBefore = root_.get(kOrganiserPath);
    choose(3);
    ASSERT_FALSE(sim::openedLinks().empty());
    EXPECT_EQ(sim::openedLinks().back(), c.link) << (c.organiser ? c.organiser : "no organiser file");
    EXPECT_EQ(root_.get(kOrganiserPath), organiserBefore);
  }
  EXPECT_EQ(sim::openedLinks().size(), std::size(cases));
  EXPECT_EQ(settingsBytes(), "<absent>");
  EXPECT_EQ(posts(), 0);
}

TEST_F(AlternateAction, AForceModeChoiceWhenTheFileCannotBeReadChangesNothingButStillPosts) {
  writeSettings("d = {'enabled': False, 'forceMode': False}");
  const std::string before = settingsBytes();
  sim::failNextRead(settings::kSettingsPath);
  choose(1);
  EXPECT_EQ(settingsBytes(), before);
  EXPECT_EQ(posts(), 1);
}

TEST_F(AlternateAction, TwoMenusOnScreenTheLaterChoiceStands) {
  host::Id first = openMenu();
  host::Id second = openMenu();
  ASSERT_TRUE(sim::tapAlertButton(second, 1));
  ASSERT_TRUE(sim::tapAlertButton(first, 2));
  EXPECT_EQ(settingsDump(), "dict:{'forceMode'=bool:False}");
  EXPECT_EQ(posts(), 2);

  first = openMenu();
  second = openMenu();
  ASSERT_TRUE(sim::tapAlertButton(first, 2));
  ASSERT_TRUE(sim::tapAlertButton(second, 1));
  EXPECT_EQ(settingsDump(), "dict:{'forceMode'=bool:True}");
  EXPECT_EQ(posts(), 4);
  EXPECT_FALSE(sim::tapAlertButton(first, 1)) << "an answered alert has left the screen";
  EXPECT_EQ(posts(), 4);
}

}  // namespace
}  // namespace switch_test
