// host.h's runtime and Foundation operations.
#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

#include "adapter/objc_bridge.h"
#include "host/host.h"

namespace host {

Class* getClass(const char* name) { return name ? reinterpret_cast<Class*>(objc_getClass(name)) : nullptr; }

Sel selectorNamed(const char* name) { return reinterpret_cast<Sel>(sel_registerName(name)); }

bool classHasInstanceMethod(Class* cls, Sel sel) {
  // SEL is a pointer to non-const on the platform; host.h hands out const.
  return cls && class_getInstanceMethod(reinterpret_cast<::Class>(cls), reinterpret_cast<SEL>(const_cast<Selector*>(sel)));
}

Id retain(Id object) { return adapter::hostId([adapter::objc(object) retain]); }

void release(Id object) { [adapter::objc(object) release]; }

double coreFoundationVersion() { return kCFCoreFoundationVersionNumber; }

AutoreleasePool* autoreleasePoolPush() {
  return reinterpret_cast<AutoreleasePool*>([[NSAutoreleasePool alloc] init]);
}

void autoreleasePoolDrain(AutoreleasePool* pool) { [reinterpret_cast<NSAutoreleasePool*>(pool) drain]; }

}  // namespace host
