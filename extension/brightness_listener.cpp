#include "extension/brightness_listener.h"

#include <cmath>

#include "extension/extension_state.h"
#include "extension/step.h"

BrightnessListener::BrightnessListener(int32_t status) : status_(status) {}

void BrightnessListener::activatorReceiveEvent(host::Id, host::Id event) {
  const ExtensionState& s = extensionState();
  // The keyboard is asked on every event, whatever the other settings say.
  const bool keyboardShown = host::keyboardIsOnScreen();
  const bool keyboardBlocked = keyboardShown && s.disableKeyboard;
  if (!s.enabled || s.appDisabled || s.springBoardBlocked || keyboardBlocked) return;

  const float change = stepChange(status_, s.forceMode, s.increment);
  const host::CGFloat brightness = host::screenBrightness(host::screenMain());
  const float level = steppedLevel(brightness, change);
  // A step near the single-precision maximum, five times over, overflows;
  // the backlight is never sent an infinite level.
  if (!std::isfinite(level)) return;
  // Hosts without GraphicsServices' backlight function set it through
  // BackBoardServices.
  if (!host::setBacklightLevel(level)) host::displayBrightnessSet(level);
  host::eventSetHandled(event, true);
}
