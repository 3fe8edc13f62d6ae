// Every level the host's brightness functions were given.
#include "sim/frameworks/platform.h"

namespace {

std::vector<float>& levels(standin::BrightnessFunction function) {
  static auto* lists = new std::vector<float>[2];
  return lists[function];
}

}  // namespace

namespace standin {

void recordBrightness(BrightnessFunction function, float level) { levels(function).push_back(level); }
const std::vector<float>& backlightLevels() { return levels(kBacklight); }
const std::vector<float>& displayBrightnessLevels() { return levels(kDisplayBrightness); }

}  // namespace standin
