// host.h's backlight operation.
#include "device/src/frameworks/graphics_services.h"
#include "host/host.h"

namespace host {

bool setBacklightLevel(float level) {
  GSEventSetBacklightLevel(level);
  return true;
}

}  // namespace host
