// BackBoardServices' display brightness function, in a library of its own
// that only the host generations exporting it load.
#include <cstdint>

#include "sim/frameworks/platform.h"

extern "C" void BKSDisplayBrightnessSet(float level, std::intptr_t unknown) {
  if (unknown == 1) standin::recordBrightness(standin::kDisplayBrightness, level);
}
