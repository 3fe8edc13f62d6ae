// Control of the simulated event framework: the user performs the gesture
// assigned to a listener name.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sim {

struct EventOutcome {
  bool delivered = false;  // a listener was registered under the name
  bool handled = false;    // the listener marked the event handled
  std::optional<float> level;  // the backlight level set while handling, if any
};

// Sends an event to the listener registered under `name`.
EventOutcome sendEvent(const std::string& name);
// Listener names in registration order.
std::vector<std::string> registeredListenerNames();

}  // namespace sim
