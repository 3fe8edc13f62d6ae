// The switch shows "enabled" and a tap rewrites the settings file with the
// requested state, then announces the change.
#include <climits>
#include <filesystem>

#include "settings/store.h"
#include "sim/journal.h"
#include "tests/switch/switch_fixture.h"

namespace switch_test {
namespace {

TEST_F(SwitchTest, NoFileShowsOnAndTurningOffCreatesAFileHoldingOnlyEnabled) {
  EXPECT_EQ(sim::switchState(kSwitchId), 1);
  sim::applySwitchState(kSwitchId, 0);

  EXPECT_EQ(settingsDump(), "dict:{'enabled'=bool:False}");
  EXPECT_EQ(posts(), 1);
  EXPECT_GT(sim::journalIndexOf("notify_post()", settings::kChangedNotification),
            sim::journalIndexOf("CFPreferencesSetMultiple()", "com.vantorel.lumivo"));
  EXPECT_EQ(sim::switchState(kSwitchId), 0);
}

TEST_F(SwitchTest, StateFollowsTheBooleanReadingOfEnabled) {
  const struct {
    const char* dict;
    int state;
  } cases[] = {
      {"d = {'enabled': 0}", 0},     {"d = {'enabled': 2}", 1},      {"d = {'enabled': -1}", 1},
      {"d = {'enabled': 0.0}", 0},   {"d = {'enabled': True}", 1},   {"d = {'enabled': False}", 0},
      {"d = {'other': False}", 1},   {"d = {'enabled': 'NO'}", 0},   {"d = [{'enabled': False}]", 1},
      {"d = {'enabled': ' yes'}", 1}, {"d = {'enabled': [0]}", 1},
  };
  for (const auto& c : cases) {
    writeSettings(c.dict, "FMT_BINARY");
    EXPECT_EQ(sim::switchState(kSwitchId), c.state) << c.dict;
  }
  root_.put(settings::kSettingsPath, "not a property list");
  EXPECT_EQ(sim::switchState(kSwitchId), 1);
}

TEST_F(SwitchTest, TurningOnKeepsEveryOtherKeyOfEveryType) {
  writeSettings(kEveryType, "FMT_BINARY");
  ASSERT_EQ(sim::switchState(kSwitchId), 0);
  sim::applySwitchState(kSwitchId, 1);

  EXPECT_EQ(settingsDump(), canonOf(std::string(kEveryType) + "d['enabled'] = True"));
  EXPECT_EQ(posts(), 1);
}

TEST_F(SwitchTest, IndeterminateStateWritesAndPostsNothing) {
  sim::applySwitchState(kSwitchId, -1);
  EXPECT_EQ(settingsBytes(), "<absent>");

  writeSettings(kEveryType, "FMT_BINARY");
  const std::string before = settingsBytes();
  sim::applySwitchState(kSwitchId, -1);
  EXPECT_EQ(settingsBytes(), before);
  EXPECT_EQ(posts(), 0);
}

TEST_F(SwitchTest, OtherStatesRewriteTheSameKeysAndPost) {
  sim::applySwitchState(kSwitchId, 5);
  EXPECT_EQ(settingsDump(), "dict:{}");
  EXPECT_EQ(posts(), 1);

  writeSettings(kEveryType, "FMT_BINARY");
  const std::string binary = settingsBytes();
  int expectedPosts = 1;
  for (int state : {5, 2, -2, INT_MAX, INT_MIN}) {
    sim::applySwitchState(kSwitchId, state);
    EXPECT_EQ(settingsDump(), canonOf(kEveryType)) << state;
    EXPECT_EQ(posts(), ++expectedPosts) << state;
  }
  EXPECT_NE(settingsBytes(), binary) << "the file is rewritten, as XML";
}

TEST_F(SwitchTest, NonDictionaryRootIsReplacedByADictionaryHoldingOnlyEnabled) {
  writeSettings("d = [1, {'enabled': True}]");
  sim::applySwitchState(kSwitchId, 0);
  EXPECT_EQ(settingsDump(), "dict:{'enabled'=bool:False}");

  root_.put(settings::kSettingsPath, "\x01\x02 garbage");
  sim::applySwitchState(kSwitchId, 1);
  EXPECT_EQ(settingsDump(), "dict:{'enabled'=bool:True}");
  EXPECT_EQ(posts(), 2);
  EXPECT_EQ(root_.get(std::string(settings::kSettingsPath) + ".unreadable"), "\x01\x02 garbage") << "the replaced file is kept";
}

TEST_F(SwitchTest, ATapWhenTheFileCannotBeReadChangesNothingButStillPosts) {
  writeSettings("d = {'enabled': True, 'Increment': 0.2}");
  const std::string before = settingsBytes();
  sim::failNextRead(settings::kSettingsPath);
  sim::applySwitchState(kSwitchId, 0);
  EXPECT_EQ(settingsBytes(), before);
  EXPECT_EQ(posts(), 1);
  sim::failNextRead(settings::kSettingsPath);
  sim::applySwitchState(kSwitchId, -1);
  EXPECT_EQ(posts(), 1) << "the indeterminate state still posts nothing";
}

TEST_F(SwitchTest, EveryCallReadsTheFileAfresh) {
  sim::applySwitchState(kSwitchId, 0);
  writeSettings("d = {'enabled': True, 'Increment': 0.2}");
  EXPECT_EQ(sim::switchState(kSwitchId), 1);
  sim::applySwitchState(kSwitchId, 0);
  EXPECT_EQ(settingsDump(), "dict:{'Increment'=real:0.2,'enabled'=bool:False}");

  std::filesystem::remove(settingsFile());
  EXPECT_EQ(sim::switchState(kSwitchId), 1);
}

}  // namespace
}  // namespace switch_test
