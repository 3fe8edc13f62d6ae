// Conversions between host.h's types and the platform's own. A host object
// reference is the platform's `id` bit for bit, a host class its `Class` and
// a host selector its `SEL`.
#pragma once

#import <Foundation/Foundation.h>

#include <objc/runtime.h>

#include <optional>
#include <string>
#include <string_view>

#include "host/host.h"

namespace adapter {

inline id objc(host::Id object) { return reinterpret_cast<id>(object); }
inline host::Id hostId(id object) { return reinterpret_cast<host::Id>(object); }
// The object as an instance of the platform class T.
template <class T>
T* as(host::Id object) {
  return reinterpret_cast<T*>(object);
}

// objc_getClass, typed as a class on every runtime.
inline Class classNamed(const char* name) { return reinterpret_cast<Class>(objc_getClass(name)); }

// True when `object` (a class or an instance) answers `selector`; false for
// nil. Guards the private classes, whose methods vary between iOS versions.
inline bool answers(id object, SEL selector) { return object && [object respondsToSelector:selector]; }

// An autoreleased string of the UTF-8 bytes, nil for a null pointer.
inline NSString* string(const char* utf8) { return utf8 ? [NSString stringWithUTF8String:utf8] : nil; }
// The string's UTF-8 bytes, none for nil.
inline std::optional<std::string> utf8(NSString* string) {
  const char* bytes = [string UTF8String];
  if (!bytes) return std::nullopt;
  return std::string(bytes);
}
// A view of the string's UTF-8 bytes, valid while the innermost autorelease
// pool lives; empty for nil.
inline std::string_view utf8View(NSString* string) {
  const char* bytes = [string UTF8String];
  return bytes ? std::string_view(bytes) : std::string_view();
}

}  // namespace adapter
