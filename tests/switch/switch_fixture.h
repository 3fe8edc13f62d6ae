// A fresh device root with the built deliverables, booted as an ordinary
// application: the toggle framework loads the switch bundle there, and the
// SpringBoard-only extension stays out of the way.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "settings/keys.h"
#include "sim/device.h"
#include "sim/toggle.h"
#include "tests/support/plistlib.h"
#include "tests/support/temp_root.h"

namespace switch_test {

inline constexpr const char kSwitchId[] = "com.vantorel.lumivo.switch";

// A dictionary holding a value of every property-list type, as python `d`.
inline constexpr const char kEveryType[] = R"PY(
d = {
  'enabled': False, 'forceMode': True, 'Increment': 0.1, 'disablekeyboard': 1,
  'LVDisable-com.example.app': True, 'small': 7, 'negative': -42, 'big': 2**63 - 1,
  'text': 'caf\u00e9 <&>', 'empty': '', 'data': bytes(range(16)),
  'date': datetime.datetime(2024, 2, 29, 12, 30, 15),
  'list': [1, 'two', 3.5, [True], {'k': b'\x00'}], 'nested': {'a': {'b': -1.25e-300}},
}
)PY";

class SwitchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::BootOptions options = testing_support::fullBoot(root_);
    options.process = "Preferences";
    sim::boot(options);
    ASSERT_EQ(sim::switchIdentifiers(), std::vector<std::string>{kSwitchId});
  }
  void TearDown() override { sim::shutdown(); }

  std::string settingsFile() const { return root_.host(settings::kSettingsPath); }
  // Writes the python dictionary `d` built by `code` as the settings file.
  void writeSettings(const std::string& code, const char* format = "FMT_XML") const {
    testing_support::python(code + "\nwith open('" + settingsFile() +
                            "', 'wb') as f: plistlib.dump(d, f, fmt=plistlib." + format + ")");
  }
  // plistlib's text of the dictionary `d` built by `code`.
  static std::string canonOf(const std::string& code) {
    return testing_support::python(code + "\nprint(canon(d), end='')");
  }
  std::string settingsDump() const { return testing_support::plistlibDump(settingsFile()); }
  std::string settingsBytes() const { return root_.get(settings::kSettingsPath); }
  static int posts() { return sim::postCount(settings::kChangedNotification); }

  testing_support::TempRoot root_{true};
};

}  // namespace switch_test
