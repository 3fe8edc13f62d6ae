// A simulated SpringBoard with the installed Lumivo2 loaded into it, and the
// settings pane's side of the settings file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <iomanip>
#include <initializer_list>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "sim/plist/document.h"
#include "settings/keys.h"
#include "sim/activator.h"
#include "sim/device.h"
#include "sim/journal.h"
#include "sim/springboard.h"
#include "sim/uikit.h"
#include "tests/support/temp_root.h"

namespace extension_test {

inline constexpr char kUp[] = "com.vantorel.brightnesslistener.up";
inline constexpr char kDown[] = "com.vantorel.brightnesslistener.down";
inline constexpr char kAppA[] = "com.example.alpha";
inline constexpr char kAppB[] = "com.example.bravo";
inline constexpr char kAppC[] = "com.example.charlie";

// A settings value as the settings pane stores it.
using Value = std::variant<bool, double, std::int64_t>;
using Setting = std::pair<std::string, Value>;

inline std::string disableKey(const std::string& application) {
  return settings::kAppDisablePrefix + application;
}

class SpringBoardTest : public ::testing::Test {
 protected:
  void TearDown() override { sim::shutdown(); }

  // Boot options for SpringBoard on this test's device root.
  sim::BootOptions options(double version = sim::kCurrentVersion) const {
    sim::BootOptions o = testing_support::fullBoot(root_);
    o.coreFoundationVersion = version;
    return o;
  }
  void boot(double version = sim::kCurrentVersion) { sim::boot(options(version)); }

  // The settings pane writes the file, telling no one.
  void writeSettings(std::initializer_list<Setting> values) const {
    plist::Document document;
    for (const auto& [key, value] : values) {
      if (auto* b = std::get_if<bool>(&value)) document.setBoolean(key, *b);
      if (auto* d = std::get_if<double>(&value)) document.setValue(key, plist::Value::real(*d));
      if (auto* i = std::get_if<std::int64_t>(&value))
        document.setValue(key, plist::Value::integer(*i));
    }
    root_.put(settings::kSettingsPath, document.toXml());
  }
  // ... then posts the change notification, which SpringBoard's run loop
  // delivers.
  void changeSettings(std::initializer_list<Setting> values) const {
    writeSettings(values);
    postChange();
  }
  static void postChange() {
    host::notifyPost(settings::kChangedNotification);
    ASSERT_TRUE(sim::runLoopUntilNotification(settings::kChangedNotification, 5000));
  }

  // The user performs the gestures bound to the two actions.
  static sim::EventOutcome up() { return sim::sendEvent(kUp); }
  static sim::EventOutcome down() { return sim::sendEvent(kDown); }
  static sim::EventOutcome upFrom(double brightness) {
    sim::setScreenBrightness(brightness);
    return up();
  }
  static sim::EventOutcome downFrom(double brightness) {
    sim::setScreenBrightness(brightness);
    return down();
  }

  testing_support::TempRoot root_{true};
};

// The event moved the backlight to exactly `level` and was handled.
inline ::testing::AssertionResult stepped(const sim::EventOutcome& outcome, float level) {
  if (!outcome.delivered) return ::testing::AssertionFailure() << "no listener received the event";
  if (!outcome.handled) return ::testing::AssertionFailure() << "the event was left unhandled";
  if (!outcome.level) return ::testing::AssertionFailure() << "no backlight level was set";
  if (*outcome.level != level)
    return ::testing::AssertionFailure() << std::setprecision(9) << "level " << *outcome.level << ", expected "
                                         << level;
  return ::testing::AssertionSuccess();
}

// The event reached a listener that left it unhandled and set no level.
inline ::testing::AssertionResult ignored(const sim::EventOutcome& outcome) {
  if (!outcome.delivered) return ::testing::AssertionFailure() << "no listener received the event";
  if (outcome.handled) return ::testing::AssertionFailure() << "the event was handled";
  if (outcome.level) return ::testing::AssertionFailure() << "level " << *outcome.level << " was set";
  return ::testing::AssertionSuccess();
}

// The class and selector of every method replacement made, in order.
inline std::vector<std::string> hookDetails() {
  std::vector<std::string> hooks;
  for (const auto& entry : sim::journalEntries())
    if (entry.call == "MSHookMessageEx()") hooks.push_back(entry.detail);
  return hooks;
}

// The settings reads the extension made on a host of `version`: through the
// preferences daemon from the release that has one, parsing the file's
// bytes below it (so only a file present is counted there).
inline int settingsReads(double version) {
  return version >= host::kPreferencesDaemonVersion
             ? sim::journalCount("CFPreferencesCopyMultiple()")
             : sim::journalCount("+[NSPropertyListSerialization propertyListWithData:options:format:error:]");
}

}  // namespace extension_test
