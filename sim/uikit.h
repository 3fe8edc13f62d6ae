// Control of the simulated UIKit, GraphicsServices and BackBoardServices:
// screen brightness, the keyboard, the backlight, alerts (UIAlertView and
// UIAlertController) and opened links.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

namespace sim {

// The user sets the screen brightness (the panel clamps it to 0...1).
void setScreenBrightness(double brightness);
double screenBrightnessNow();
void setKeyboardOnScreen(bool shown);
bool keyboardOnScreen();
// Every level set since boot (setBacklightLevel or displayBrightnessSet,
// where the host has the function), as passed.
const std::vector<float>& backlightLevels();

struct AlertInfo {
  host::Id alert;
  std::string title;
  std::optional<std::string> message;
  // Index 0 is the cancel button; the others follow from 1.
  std::vector<std::string> buttons;
};
// The alerts on screen, oldest first.
std::vector<AlertInfo> alertsOnScreen();
// The user taps button `index` of the alert (any index is passed on to the
// delegate as it is); the alert then leaves the screen. False when `alert`
// is not on screen.
bool tapAlertButton(host::Id alert, std::intptr_t index);
// Every link handed to openURL:, in order.
const std::vector<std::string>& openedLinks();

}  // namespace sim
