// GraphicsServices' backlight function, in a library of its own that only
// the host generations exporting it load.
#include "sim/frameworks/platform.h"
#include "adapter/include/GraphicsServices.h"

extern "C" void GSEventSetBacklightLevel(float level) { standin::recordBrightness(standin::kBacklight, level); }
