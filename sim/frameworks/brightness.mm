// Every level the host's brightness functions were given; each reaches the
// panel.
#include <cmath>

#include "sim/frameworks/platform.h"
#include "sim/uikit.h"

namespace {

std::vector<float>& levels(standin::BrightnessFunction function) {
  static auto* lists = new std::vector<float>[2];
  return lists[function];
}

std::vector<float>& everyLevel() {
  static auto* list = new std::vector<float>;
  return *list;
}

}  // namespace

namespace standin {

void recordBrightness(BrightnessFunction function, float level) {
  levels(function).push_back(level);
  everyLevel().push_back(level);
  sim::setScreenBrightness(level);
}
const std::vector<float>& backlightLevels() { return levels(kBacklight); }
const std::vector<float>& displayBrightnessLevels() { return levels(kDisplayBrightness); }

}  // namespace standin

namespace sim {

const std::vector<float>& backlightLevels() { return everyLevel(); }

}  // namespace sim
