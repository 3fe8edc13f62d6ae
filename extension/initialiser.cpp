// The library's only entry: the load-time initialiser, which wires the
// listeners, the settings observer and the front application hooks into the
// host, then returns.
#include "extension/brightness_listener.h"
#include "extension/extension_state.h"
#include "extension/front_application.h"
#include "settings/keys.h"

namespace {

__attribute__((constructor)) void initialise() {
  host::AutoreleasePool* pool = host::autoreleasePoolPush();
  // Created once and kept for the life of the process.
  static BrightnessListener up(0);
  static BrightnessListener down(1);
  host::activatorRegisterListener(host::activatorShared(), &up, kUpListenerName);
  host::activatorRegisterListener(host::activatorShared(), &down, kDownListenerName);
  host::notifyCenterAddObserver(host::darwinNotifyCenter(), nullptr, &settingsChanged,
                                settings::kChangedNotification, nullptr, host::kSuspensionCoalesce);
  reloadSettings();
  installFrontApplicationHooks();
  host::autoreleasePoolDrain(pool);
}

}  // namespace
