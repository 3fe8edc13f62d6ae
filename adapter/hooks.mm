// host.h's method replacement, through the hooking loader. Only the
// extension links this, and with it the loader's library; the switch, loaded
// into any process the toggle framework runs in, replaces nothing.
#import <Foundation/Foundation.h>

#include "adapter/frameworks/substrate.h"
#include "host/host.h"

namespace host {

void hookMessage(Class* cls, Sel sel, Imp replacement, Imp* saved) {
  if (!cls) return;
  // SEL is a pointer to non-const on the platform; host.h hands out const.
  SEL selector = reinterpret_cast<SEL>(const_cast<Selector*>(sel));
  MSHookMessageEx(reinterpret_cast<::Class>(cls), selector, reinterpret_cast<IMP>(replacement),
                  reinterpret_cast<IMP*>(saved));
}

}  // namespace host
