// The two actions inside SpringBoard: how far a press moves the backlight,
// and every setting that stops it.
#include <filesystem>

#include "tests/extension/springboard_fixture.h"

namespace extension_test {
namespace {

class Listener : public SpringBoardTest {};

TEST_F(Listener, DefaultStepIsOneTwentiethInSinglePrecision) {
  boot();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  EXPECT_TRUE(stepped(downFrom(0.5), 0.45f));
  EXPECT_EQ(sim::backlightLevels(), (std::vector<float>{0.55f, 0.45f}));
}

TEST_F(Listener, EachPressStartsFromTheBrightnessTheLastOneSet) {
  boot();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  EXPECT_TRUE(stepped(up(), static_cast<float>(static_cast<double>(0.55f) + static_cast<double>(0.05f))));
  const float last = sim::backlightLevels().back();
  EXPECT_TRUE(stepped(down(), static_cast<float>(static_cast<double>(last) - static_cast<double>(0.05f))));
}

TEST_F(Listener, ForceModeStepsFiveTimesAsFar) {
  writeSettings({{settings::kForceModeKey, true}});
  boot();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.75f));
  EXPECT_TRUE(stepped(downFrom(0.5), 0.25f));
}

TEST_F(Listener, LevelIsNotClampedThoughThePanelIs) {
  boot();
  EXPECT_TRUE(stepped(upFrom(1.0), 1.05f));
  EXPECT_EQ(sim::screenBrightnessNow(), 1.0);
  EXPECT_TRUE(stepped(downFrom(0.0), -0.05f));
  EXPECT_EQ(sim::screenBrightnessNow(), 0.0);
  EXPECT_EQ(sim::backlightLevels(), (std::vector<float>{1.05f, -0.05f}));
}

TEST_F(Listener, ALevelThatWouldNotBeFiniteIsNeverSet) {
  writeSettings({{settings::kIncrementKey, 3.0e38}, {settings::kForceModeKey, true}});
  boot();
  EXPECT_TRUE(ignored(upFrom(0.5)));
  EXPECT_TRUE(ignored(downFrom(0.5)));
  EXPECT_TRUE(sim::backlightLevels().empty());
}

TEST_F(Listener, FiniteLevelsNearTheLimitAreSetUnclamped) {
  writeSettings({{settings::kIncrementKey, 3.0e38}});
  boot();
  EXPECT_TRUE(stepped(upFrom(0.5), static_cast<float>(0.5 + static_cast<double>(3.0e38f))));
  EXPECT_TRUE(stepped(downFrom(0.5), static_cast<float>(0.5 - static_cast<double>(3.0e38f))));
  changeSettings({{settings::kIncrementKey, 6.0e37}, {settings::kForceModeKey, true}});
  EXPECT_TRUE(stepped(upFrom(0.5), static_cast<float>(0.5 + static_cast<double>(6.0e37f * 5.0f))));
}

TEST_F(Listener, ZeroIncrementSetsTheCurrentBrightnessAndHandlesTheEvent) {
  writeSettings({{settings::kIncrementKey, 0.0}});
  boot();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.5f));
  EXPECT_TRUE(stepped(downFrom(0.3), static_cast<float>(0.3)));
}

TEST_F(Listener, NegativeIncrementReversesBothActions) {
  writeSettings({{settings::kIncrementKey, -0.05}});
  boot();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.45f));
  EXPECT_TRUE(stepped(downFrom(0.5), 0.55f));
}

TEST_F(Listener, IncrementIsNarrowedToSinglePrecisionBeforeTheAddition) {
  writeSettings({{settings::kIncrementKey, 0.1}, {settings::kForceModeKey, true}});
  boot();
  const float step = 0.1f * 5.0f;
  EXPECT_TRUE(stepped(upFrom(0.3), static_cast<float>(0.3 + static_cast<double>(step))));
}

TEST_F(Listener, MasterSwitchOffIgnoresEveryEvent) {
  writeSettings({{settings::kEnabledKey, false}});
  boot();
  EXPECT_TRUE(ignored(upFrom(0.5)));
  EXPECT_TRUE(ignored(down()));
  EXPECT_TRUE(sim::backlightLevels().empty());
  EXPECT_EQ(sim::journalCount("GSEventSetBacklightLevel()"), 0);
  EXPECT_EQ(sim::journalCount("-[LAEvent setHandled:]"), 0);
  EXPECT_EQ(sim::screenBrightnessNow(), 0.5);
}

TEST_F(Listener, EnabledStoredAsANumberReadsAsABoolean) {
  writeSettings({{settings::kEnabledKey, std::int64_t{0}}});
  boot();
  EXPECT_TRUE(ignored(upFrom(0.5)));
  changeSettings({{settings::kEnabledKey, std::int64_t{2}}});
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_F(Listener, KeyboardStopsEventsOnlyWhileItShowsAndTheSettingIsOn) {
  writeSettings({{settings::kDisableKeyboardKey, true}});
  boot();
  sim::setKeyboardOnScreen(true);
  EXPECT_TRUE(ignored(upFrom(0.5)));
  EXPECT_TRUE(ignored(down()));
  sim::setKeyboardOnScreen(false);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));

  changeSettings({});
  sim::setKeyboardOnScreen(true);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_F(Listener, PerApplicationKeyStopsEventsWhileThatApplicationIsInFront) {
  writeSettings({{disableKey(kAppA), true}});
  boot();
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5)));
  sim::launchApplication(kAppB);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_F(Listener, HomeScreenSettingStopsEventsWhileNoApplicationIsInFront) {
  writeSettings({{settings::kDisableSpringBoardKey, true}});
  boot();
  sim::goHome();
  EXPECT_TRUE(ignored(upFrom(0.5)));
  sim::launchApplication(kAppA);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_F(Listener, KeyboardIsAskedOnEveryEventWhateverStopsIt) {
  writeSettings({{settings::kEnabledKey, false}, {disableKey(kAppA), true}, {settings::kDisableSpringBoardKey, true}});
  boot();
  sim::goHome();
  up();
  sim::launchApplication(kAppA);
  down();
  changeSettings({});
  up();
  EXPECT_EQ(sim::journalCount("+[UIKeyboard isOnScreen]"), 3);
  EXPECT_EQ(sim::journalCount("GSEventSetBacklightLevel()"), 1);
}

TEST_F(Listener, ChecksTheKeyboardBeforeReadingTheBrightness) {
  boot();
  upFrom(0.5);
  const auto& entries = sim::journalEntries();
  std::vector<std::string> calls;
  for (const auto& entry : entries)
    if (entry.call != "notificationDelivered") calls.push_back(entry.call);
  const std::vector<std::string> event(calls.end() - 5, calls.end());
  EXPECT_EQ(event, (std::vector<std::string>{"+[UIKeyboard isOnScreen]", "+[UIScreen mainScreen]",
                                             "-[UIScreen brightness]", "GSEventSetBacklightLevel()",
                                             "-[LAEvent setHandled:]"}));
  EXPECT_EQ(entries.back().detail, "true");
  EXPECT_EQ(entries[entries.size() - 2].detail, "0.55");
}

TEST_F(Listener, WithoutAMainScreenTheBrightnessReadsZero) {
  sim::BootOptions o = options();
  o.noMainScreen = true;
  sim::boot(o);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.05f));
  EXPECT_TRUE(stepped(down(), -0.05f));
}

TEST_F(Listener, SettingsChangesReachTheRunningExtension) {
  boot();
  changeSettings({{settings::kEnabledKey, false}});
  EXPECT_TRUE(ignored(upFrom(0.5)));
  changeSettings({{settings::kForceModeKey, true}});
  EXPECT_TRUE(stepped(upFrom(0.5), 0.75f));
  // A key absent from the file falls back to its default, not to the value
  // the last reload read.
  changeSettings({});
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_F(Listener, ReloadWhileTheFileIsAbsentRestoresEveryDefault) {
  writeSettings({{settings::kEnabledKey, true}, {settings::kForceModeKey, true}, {settings::kIncrementKey, 0.1}});
  boot();
  EXPECT_TRUE(stepped(upFrom(0.5), static_cast<float>(0.5 + static_cast<double>(0.1f * 5.0f))));
  std::filesystem::remove(root_.host(settings::kSettingsPath));
  postChange();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

}  // namespace
}  // namespace extension_test
