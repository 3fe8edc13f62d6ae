// host.h's backlight operation.
#include "device/src/frameworks/graphics_services.h"
#include "host/host.h"

namespace host {

void setBacklightLevel(float level) { GSEventSetBacklightLevel(level); }

}  // namespace host
