// host.h's runtime, loader and Foundation operations.
#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

#include "device/include/Substrate.h"
#include "device/src/adapter/objc_bridge.h"
#include "host/host.h"

namespace host {

Class* getClass(const char* name) { return name ? reinterpret_cast<Class*>(objc_getClass(name)) : nullptr; }

Sel selectorNamed(const char* name) { return reinterpret_cast<Sel>(sel_registerName(name)); }

Id retain(Id object) { return adapter::hostId([adapter::objc(object) retain]); }

void release(Id object) { [adapter::objc(object) release]; }

void hookMessage(Class* cls, Sel sel, Imp replacement, Imp* saved) {
  if (!cls) return;
  // SEL is a pointer to non-const on the platform; host.h hands out const.
  SEL selector = reinterpret_cast<SEL>(const_cast<Selector*>(sel));
  MSHookMessageEx(reinterpret_cast<::Class>(cls), selector, reinterpret_cast<IMP>(replacement),
                  reinterpret_cast<IMP*>(saved));
}

double coreFoundationVersion() { return kCFCoreFoundationVersionNumber; }

AutoreleasePool* autoreleasePoolPush() {
  return reinterpret_cast<AutoreleasePool*>([[NSAutoreleasePool alloc] init]);
}

void autoreleasePoolDrain(AutoreleasePool* pool) { [reinterpret_cast<NSAutoreleasePool*>(pool) drain]; }

}  // namespace host
