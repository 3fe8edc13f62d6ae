// The device at a glance: what `status` prints and the shell shows after
// every command.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tools {

struct DeviceStatus {
  double brightness = 0;
  std::optional<float> lastLevel;          // the latest backlight level set
  std::optional<std::string> front;        // none on the home screen
  bool locked = false;
  bool keyboard = false;
  std::optional<int> switchState;          // none when no switch is loaded
  std::vector<std::string> alertTitles;    // oldest first
};

// One line, e.g. "brightness 0.5 | level 0.55 | front com.apple.Maps |
// unlocked | keyboard hidden | switch on | no alerts".
std::string formatStatus(const DeviceStatus& status);

}  // namespace tools
