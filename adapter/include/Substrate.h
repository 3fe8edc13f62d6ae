// The hooking loader's method replacement.
#pragma once

#include <objc/runtime.h>

#ifdef __cplusplus
extern "C" {
#endif

// From now on every call of `message` on `_class` runs `hook`; `*old`, when
// `old` is not NULL, receives the implementation it replaced (the inherited
// one when `_class` did not define the method itself).
void MSHookMessageEx(Class _class, SEL message, IMP hook, IMP* old);

#ifdef __cplusplus
}
#endif
