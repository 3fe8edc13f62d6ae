// host.h's backlight and display-brightness operations. Both functions are
// private, and not every release is known to have each, so they are looked
// up by name rather than linked: a host without one reads as false, and the
// library loads on every host. Each is looked up once, at its first use, not
// on every step: the frameworks are loaded with SpringBoard and stay.
#include <dlfcn.h>

#include <cstdint>

#include "host/host.h"

namespace {

template <class Function>
Function* lookUp(const char* name) {
  return reinterpret_cast<Function*>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

namespace host {

bool setBacklightLevel(float level) {
  // GraphicsServices.
  static auto* const set = lookUp<void(float)>("GSEventSetBacklightLevel");
  if (!set) return false;
  set(level);
  return true;
}

bool displayBrightnessSet(float level) {
  // BackBoardServices: void BKSDisplayBrightnessSet(float level, NSInteger
  // unknown), where the second argument is 1 in every known caller.
  static auto* const set = lookUp<void(float, std::intptr_t)>("BKSDisplayBrightnessSet");
  if (!set) return false;
  set(level, 1);
  return true;
}

}  // namespace host
