// The hooking loader's method replacement, on the GNU runtime.
#import <Foundation/Foundation.h>

#include <cstdlib>

#include "sim/frameworks/platform.h"
#include "sim/journal.h"
#include "adapter/include/Substrate.h"

namespace {

std::vector<std::string>& calls() {
  static auto* list = new std::vector<std::string>;
  return *list;
}

// The method `cls` defines itself for `selector`, or null when it inherits it.
Method ownMethod(Class cls, SEL selector) {
  unsigned int count = 0;
  Method* methods = class_copyMethodList(cls, &count);
  Method own = nullptr;
  for (unsigned int i = 0; i < count && !own; ++i)
    if (sel_isEqual(method_getName(methods[i]), selector)) own = methods[i];
  free(methods);
  return own;
}

}  // namespace

extern "C" void MSHookMessageEx(Class _class, SEL message, IMP hook, IMP* old) {
  const std::string call = std::string(_class ? class_getName(_class) : "nil") + " " + sel_getName(message);
  sim::journal("MSHookMessageEx()", call);
  calls().push_back(call);
  Method method = _class ? class_getInstanceMethod(_class, message) : nullptr;
  if (!method) return;
  IMP replaced = method_getImplementation(method);
  // An inherited method is overridden in the class alone, with the inherited
  // implementation saved. (The GNU runtime's class_replaceMethod would
  // replace it in the superclass that defines it.)
  if (Method own = ownMethod(_class, message))
    method_setImplementation(own, hook);
  else
    class_addMethod(_class, message, hook, method_getTypeEncoding(method));
  if (old) *old = replaced;
}

namespace standin {

const std::vector<std::string>& hookCalls() { return calls(); }

}  // namespace standin
