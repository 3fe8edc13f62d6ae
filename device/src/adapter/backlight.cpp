// host.h's backlight operation.
#include "device/include/GraphicsServices.h"
#include "host/host.h"

namespace host {

void setBacklightLevel(float level) { GSEventSetBacklightLevel(level); }

}  // namespace host
