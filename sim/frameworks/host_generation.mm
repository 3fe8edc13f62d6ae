// Booting a host generation: the CoreFoundation version, and the classes,
// methods and private C functions the offer table gives the booted process
// on that release. A method or function the table offers and no framework
// here implements stops the process: the simulated iOS offers what the
// table says or nothing.
#import <Foundation/Foundation.h>

#include <dlfcn.h>
#include <objc/runtime.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "sim/frameworks/host_generation.h"
#include "sim/frameworks/platform.h"
#include "sim/offers.h"

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

using generation::MadeClass;
using sim::Offer;
using sim::OfferKind;

[[noreturn]] void stop(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::abort();
}

bool sameOperation(const Offer& a, const Offer& b) {
  return a.kind == b.kind && std::strcmp(a.name, b.name) == 0 &&
         (a.owner == b.owner || (a.owner && b.owner && std::strcmp(a.owner, b.owner) == 0));
}

// The process being made: SpringBoard or another, and the classes a test
// has taken away.
struct Making {
  bool springBoard = true;
  const std::set<std::string>* missing = nullptr;
};
Making gMaking;

// Whether the process at `version` has the operation of `row`, by any row.
bool offered(const Offer& row, double version) {
  if (row.owner && gMaking.missing && gMaking.missing->count(row.owner)) return false;
  for (const Offer& offer : sim::offers())
    if (sameOperation(offer, row) && sim::offerAt(offer, version, gMaking.springBoard)) return true;
  return false;
}

const MadeClass* madeClassNamed(const char* name) {
  for (auto classes : {generation::springBoardClasses(), generation::uikitClasses()})
    for (const MadeClass& made : classes)
      if (std::strcmp(made.className, name) == 0) return &made;
  return nullptr;
}

// Where the method of `offer` lives: the class, or its metaclass for a
// class method.
Class holderOf(Class cls, const Offer& offer) {
  return offer.kind == OfferKind::kClassMethod ? object_getClass(cls) : cls;
}

Method methodOf(Class cls, const Offer& offer) {
  SEL sel = sel_registerName(offer.name);
  return offer.kind == OfferKind::kClassMethod ? class_getClassMethod(cls, sel) : class_getInstanceMethod(cls, sel);
}

// A method the release does not offer, on a class the stand-ins implement
// once for every release: calling it fails as a message the class lacks
// would, and the class does not answer to it (withheld).
id notOffered(id self, SEL cmd) {
  [self doesNotRecognizeSelector:cmd];
  return nil;
}

// The methods taken away, by the class (or metaclass) that held them.
std::set<std::pair<Class, std::string>>& withheldMethods() {
  static auto* methods = new std::set<std::pair<Class, std::string>>;
  return *methods;
}

void offerMethod(const Offer& offer, double version) {
  const bool has = offered(offer, version);
  if (const MadeClass* made = madeClassNamed(offer.owner)) {
    if (!has) return;
    Class cls = objc_getClass(made->className);
    if (!cls) {
      cls = objc_allocateClassPair(objc_getClass(made->base), made->className, 0);
      objc_registerClassPair(cls);
    }
    Method method = methodOf(objc_getClass(made->source), offer);
    if (!method) stop("the stand-ins implement no " + sim::operationName(offer));
    class_addMethod(holderOf(cls, offer), method_getName(method), method_getImplementation(method),
                    method_getTypeEncoding(method));
    return;
  }
  Class cls = objc_getClass(offer.owner);
  Method method = cls ? methodOf(cls, offer) : nullptr;
  if (has && !method) stop("the stand-ins implement no " + sim::operationName(offer));
  if (!has && method) {
    class_replaceMethod(holderOf(cls, offer), method_getName(method), reinterpret_cast<IMP>(&notOffered),
                        method_getTypeEncoding(method));
    withheldMethods().insert({holderOf(cls, offer), offer.name});
  }
}

// The libraries of the private C functions, beside this one, loaded for
// every module of the process to find, as the system's frameworks are.
struct FunctionLibrary {
  const char* function;
  const char* name;
};
constexpr FunctionLibrary kFunctionLibraries[] = {
    {"GSEventSetBacklightLevel", "libLumivoSim_graphics_services.so"},
    {"BKSDisplayBrightnessSet", "libLumivoSim_backboard_services.so"},
    {"BKSDisplayBrightnessGetCurrent", "libLumivoSim_backboard_services.so"},
};

std::string besideThisLibrary(const char* name) {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&besideThisLibrary), &info) || !info.dli_fname) return name;
  std::string path = info.dli_fname;
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? name : path.substr(0, slash + 1) + name;
}

void offerFunction(const Offer& offer, double version) {
  if (!offered(offer, version)) return;
  for (const FunctionLibrary& library : kFunctionLibraries) {
    if (std::strcmp(library.function, offer.name) != 0) continue;
    const std::string path = besideThisLibrary(library.name);
    if (!dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL)) stop("cannot load " + path + ": " + dlerror());
  }
  if (!dlsym(RTLD_DEFAULT, offer.name)) stop("the stand-ins implement no " + sim::operationName(offer));
}

}  // namespace

bool withheld(Class holder, SEL selector) {
  const auto& methods = withheldMethods();
  if (methods.empty()) return false;
  const std::string name = sel_getName(selector);
  for (Class c = holder; c; c = class_getSuperclass(c))
    if (methods.count({c, name})) return true;
  return false;
}

void bootHost(double version) { makeGeneration(version, true, {}); }

void makeGeneration(double version, bool springBoard, const std::set<std::string>& missing) {
  static bool made = false;
  if (made) stop("one host generation per process: classes, once made, cannot be taken back");
  made = true;
  gMaking = Making{springBoard, &missing};
  setCoreFoundationVersion(version);
  for (const Offer& offer : sim::offers()) {
    switch (offer.kind) {
      case OfferKind::kClassMethod:
      case OfferKind::kMethod:
        offerMethod(offer, version);
        break;
      case OfferKind::kFunction:
        offerFunction(offer, version);
        break;
      case OfferKind::kFramework:
        // Installed packages, loaded with this library.
        break;
    }
  }
  gMaking.missing = nullptr;
}

}  // namespace standin
