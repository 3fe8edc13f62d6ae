// GraphicsServices' backlight function, in a library of its own that only
// the host generations exporting it load.
#include "device/check/standins/platform.h"
#include "device/include/GraphicsServices.h"

extern "C" void GSEventSetBacklightLevel(float level) { standin::recordBrightness(standin::kBacklight, level); }
