// How the frameworks name, in the journal, each call the deliverables make:
// as the `host` listing does, "+[Class selector]", "-[Class selector]" or
// "Function()". The frameworks journal only what the deliverables call;
// their own work reaches their state directly, never through these methods.
#pragma once

#import <Foundation/Foundation.h>

#include <objc/runtime.h>

#include <string>

#include "sim/journal.h"

namespace standin {

// The message `cmd` sent to `receiver` (a class or an instance), named by
// the receiver's class.
inline std::string messageName(id receiver, SEL cmd) {
  const bool toClass = class_isMetaClass(object_getClass(receiver));
  const Class cls = toClass ? static_cast<Class>(receiver) : object_getClass(receiver);
  return std::string(toClass ? "+[" : "-[") + class_getName(cls) + " " + sel_getName(cmd) + "]";
}

inline void journalMessage(id receiver, SEL cmd, std::string detail = {}) {
  sim::journal(messageName(receiver, cmd), std::move(detail));
}

// The UTF-8 bytes of a string for a journal detail; "(nil)" for nil.
inline std::string journalString(NSString* string) {
  const char* bytes = [string UTF8String];
  return bytes ? bytes : "(nil)";
}

}  // namespace standin
