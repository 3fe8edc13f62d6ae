// Booting a host generation: the CoreFoundation version, the classes and
// methods of that release, and the private C functions it exports.
#import <Foundation/Foundation.h>

#include <dlfcn.h>
#include <objc/runtime.h>

#include <cstdio>
#include <cstdlib>

#include "sim/frameworks/host_generation.h"
#include "sim/frameworks/platform.h"

namespace standin {
namespace generation {

void makeClasses(double version, std::span<const Offer> offers) {
  for (const Offer& offer : offers) {
    if (!(offer.from <= version && version < offer.until)) continue;
    Class cls = objc_getClass(offer.className);
    if (!offer.selector) {
      cls = objc_allocateClassPair(objc_getClass(offer.base), offer.className, 0);
      objc_registerClassPair(cls);
      continue;
    }
    const bool classMethod = offer.selector[0] == '+';
    SEL sel = sel_registerName(offer.selector + (classMethod ? 1 : 0));
    Class source = objc_getClass(offer.source);
    Method method = classMethod ? class_getClassMethod(source, sel) : class_getInstanceMethod(source, sel);
    class_addMethod(classMethod ? object_getClass(cls) : cls, sel, method_getImplementation(method),
                    method_getTypeEncoding(method));
  }
}

}  // namespace generation

namespace {

// A library of C functions the host exports, loaded for every module of the
// process to find, as the system's frameworks are.
void loadFunctions(const char* path) {
  if (!dlopen(path, RTLD_NOW | RTLD_GLOBAL)) {
    std::fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
    std::abort();
  }
}

}  // namespace

void bootHost(double version) {
  static bool booted = false;
  if (booted) {
    std::fprintf(stderr, "one host generation per process\n");
    std::abort();
  }
  booted = true;
  using namespace generation;
  setCoreFoundationVersion(version);
  makeSpringBoardClasses(version);
  makeUIKitClasses(version);
  // GraphicsServices' backlight function is exported in the iOS 11.4 SDK and
  // by no later evidence; the iOS 14 host lacks it, so that its fallback is
  // exercised. BackBoardServices' brightness function is there from iOS 7.
  if (version < kIOS14) loadFunctions(LUMIVO_STANDIN_GRAPHICS_SERVICES);
  if (version >= kIOS7) loadFunctions(LUMIVO_STANDIN_BACKBOARD_SERVICES);
}

}  // namespace standin
