// BackBoardServices' display brightness functions, in a library of its own
// that only the host generations exporting them load.
#import <UIKit/UIKit.h>

#include <cstdint>

#include "sim/frameworks/platform.h"

extern "C" void BKSDisplayBrightnessSet(float level, std::intptr_t unknown) {
  if (unknown == 1) standin::recordBrightness(standin::kDisplayBrightness, level);
}

extern "C" float BKSDisplayBrightnessGetCurrent() { return static_cast<float>([[UIScreen mainScreen] brightness]); }
