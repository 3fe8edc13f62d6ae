#include "tools/expectations.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sim/plist/document.h"

namespace tools {
namespace {

sim::EventOutcome pressed(std::optional<float> level, bool handled) {
  sim::EventOutcome outcome;
  outcome.delivered = true;
  outcome.handled = handled;
  outcome.level = level;
  return outcome;
}

std::string settingsXml(const std::string& key, const plist::Value& value) {
  plist::Document document;
  document.setValue(key, value);
  return document.toXml();
}

TEST(ExpectLevel, ComparesWithTheNearestSingleExactly) {
  EXPECT_FALSE(checkLevel(pressed(0.55f, true), 0.55));
  // 0.5 + 0.05f in double precision, narrowed: the single nearest 0.55.
  EXPECT_FALSE(checkLevel(pressed(static_cast<float>(0.5 + 0.05f), true), 0.55));
  const float next = std::nextafter(0.55f, 1.0f);
  auto failure = checkLevel(pressed(next, true), 0.55);
  ASSERT_TRUE(failure);
  EXPECT_EQ(*failure, "the latest press set 0.5500001 and marked the event handled (expected 0.55)");
  EXPECT_FALSE(checkLevel(pressed(1.05f, true), 1.05));
  EXPECT_FALSE(checkLevel(pressed(-0.05f, true), -0.05));
}

TEST(ExpectLevel, FailsWithoutALevelOrAPress) {
  EXPECT_EQ(checkLevel(std::nullopt, 0.5).value_or(""), "there has been no press yet");
  EXPECT_EQ(checkLevel(pressed(std::nullopt, false), 0.5).value_or(""),
            "the latest press set no level and left the event unhandled");
  EXPECT_EQ(checkLevel(sim::EventOutcome{}, 0.5).value_or(""), "the latest press reached no listener");
}

TEST(ExpectUnhandled, NeedsNeitherLevelNorHandledFlag) {
  EXPECT_FALSE(checkUnhandled(pressed(std::nullopt, false)));
  EXPECT_FALSE(checkUnhandled(sim::EventOutcome{}));
  EXPECT_TRUE(checkUnhandled(pressed(0.5f, false)));
  EXPECT_TRUE(checkUnhandled(pressed(std::nullopt, true)));
  EXPECT_TRUE(checkUnhandled(pressed(0.5f, true)));
  EXPECT_TRUE(checkUnhandled(std::nullopt));
}

TEST(ExpectBrightness, AllowsOneMillionth) {
  EXPECT_FALSE(checkBrightness(static_cast<double>(0.55f), 0.55));
  EXPECT_FALSE(checkBrightness(0.5000009, 0.5));
  EXPECT_EQ(checkBrightness(0.500002, 0.5).value_or(""), "the screen shows 0.500002");
}

TEST(ExpectSwitch, ReportsTheStateOrItsAbsence) {
  EXPECT_FALSE(checkSwitch(0, 0));
  EXPECT_EQ(checkSwitch(1, 0).value_or(""), "the switch reports 1 (on)");
  EXPECT_EQ(checkSwitch(-1, 1).value_or(""), "the switch reports -1 (indeterminate)");
  EXPECT_EQ(checkSwitch(std::nullopt, 1).value_or(""), "no switch is loaded");
}

TEST(ExpectPref, ChecksTypeValueAndAbsence) {
  PrefValue yes;
  yes.kind = PrefValue::Kind::Boolean;
  yes.boolean = true;
  const std::string file = settingsXml("forceMode", plist::Value::boolean(true));
  EXPECT_FALSE(checkPref(file, "forceMode", yes));
  EXPECT_EQ(checkPref(file, "forceMode", std::nullopt).value_or(""),
            "the settings file holds forceMode = true (boolean)");
  EXPECT_FALSE(checkPref(file, "enabled", std::nullopt));
  EXPECT_EQ(checkPref(file, "enabled", yes).value_or(""), "the settings file has no enabled");
  EXPECT_EQ(checkPref(std::nullopt, "enabled", yes).value_or(""), "there is no settings file");
  EXPECT_FALSE(checkPref(std::nullopt, "enabled", std::nullopt));
  const std::string number = settingsXml("forceMode", plist::Value::integer(std::int64_t{1}));
  EXPECT_EQ(checkPref(number, "forceMode", yes).value_or(""), "the settings file holds forceMode = 1 (integer)");
  // A file that is not a dictionary holds no keys.
  EXPECT_FALSE(checkPref(std::string("garbage"), "forceMode", std::nullopt));
}

TEST(ExpectOpened, LatestLinkOrNoneAtAll) {
  EXPECT_FALSE(checkOpened({}, ""));
  EXPECT_FALSE(checkOpened({"prefs:root=Lumivo2", "prefs:root=Tweaks&path=Lumivo2"},
                           "prefs:root=Tweaks&path=Lumivo2"));
  EXPECT_EQ(checkOpened({"a", "b"}, "a").value_or(""), "the latest link opened is b");
  EXPECT_EQ(checkOpened({}, "a").value_or(""), "no link has been opened");
  EXPECT_EQ(checkOpened({"a"}, "").value_or(""), "1 link(s) opened, the latest a");
}

TEST(ExpectCounts, SayWhatWasCounted) {
  EXPECT_FALSE(checkPosts(2, 2));
  EXPECT_EQ(checkPosts(0, 1).value_or(""), "this process has not posted the change notification");
  EXPECT_EQ(checkPosts(1, 0).value_or(""), "this process posted the change notification once");
  EXPECT_EQ(checkPosts(3, 0).value_or(""), "this process posted the change notification 3 times");
  EXPECT_FALSE(checkAlerts(0, 0));
  EXPECT_EQ(checkAlerts(1, 2).value_or(""), "1 alert is on screen");
  EXPECT_EQ(checkAlerts(2, 0).value_or(""), "2 alerts are on screen");
}

}  // namespace
}  // namespace tools
