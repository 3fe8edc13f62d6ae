// GraphicsServices' backlight control, recording every level.
#include "device/check/standins/platform.h"
#include "device/include/GraphicsServices.h"

namespace {

std::vector<float>& levels() {
  static auto* list = new std::vector<float>;
  return *list;
}

}  // namespace

extern "C" void GSEventSetBacklightLevel(float level) { levels().push_back(level); }

namespace standin {

const std::vector<float>& backlightLevels() { return levels(); }

}  // namespace standin
