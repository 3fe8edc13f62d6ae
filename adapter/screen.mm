// host.h's keyboard and screen operations.
#import <UIKit/UIKit.h>

#include <type_traits>

#include "adapter/include/UIKitPrivate.h"
#include "adapter/objc_bridge.h"
#include "host/host.h"

static_assert(std::is_same_v<CGFloat, host::CGFloat>, "host::CGFloat must be the platform's CGFloat");

namespace host {

bool keyboardIsOnScreen() {
  ::Class keyboard = adapter::classNamed("UIKeyboard");
  return adapter::answers(keyboard, @selector(isOnScreen)) && [keyboard isOnScreen];
}

Id screenMain() { return adapter::hostId([UIScreen mainScreen]); }

CGFloat screenBrightness(Id screen) {
  // A floating-point result of a message to nil is not zero on every
  // runtime: it can be whatever the last one left in the register.
  if (!screen) return 0;
  return [adapter::as<UIScreen>(screen) brightness];
}

}  // namespace host
