// The simulated object runtime: classes by name with per-class method tables,
// counted objects, and autorelease pools. Every call of a method that the
// loader may replace is dispatched through the table, so a replacement takes
// effect exactly as on the device.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/host.h"

struct host::Selector {
  std::string name;
};

struct host::Class {
  std::string name;
  // Instance methods, as dispatched: the root's `init` and `dealloc` and the
  // class's own.
  std::map<host::Sel, host::Imp> methods;
  // The methods the class itself offers (not the root's), by selector name.
  std::set<std::string> ownMethods;
  std::set<std::string> classMethods;
};

struct host::Object {
  explicit Object(host::Class* cls) : isa(cls) {}
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  host::Class* isa;
  int retainCount = 1;
};

namespace sim {

using host::Class;
using host::Id;
using host::Imp;
using host::Sel;

// Shapes of the method implementations the runtime dispatches.
using InitImp = Id (*)(Id self, Sel cmd);
using VoidImp = void (*)(Id self, Sel cmd);
using VoidIdImp = void (*)(Id self, Sel cmd, Id argument);

// Defines (or returns the existing) class of that name. A class listed in the
// device's missing classes is still defined but not found by getClass.
Class* defineClass(const std::string& name);
// The class of that name as the deliverables see it (null when missing).
Class* findClass(const std::string& name);
// The class of that name if it has been defined, missing or not; else null.
Class* definedClass(const std::string& name);
// Adds or replaces a method in the class's own table.
void setMethod(Class* cls, const char* selector, Imp imp);
// The class offers an instance method that the simulator answers itself
// (through a host.h query, not through dispatch); an implementation set
// earlier stays.
void offerMethod(Class* cls, const char* selector);
void offerClassMethod(Class* cls, const char* selector);
// True when the class offers the class method.
bool hasClassMethod(Class* cls, const char* selector);
// True when the object is of a class that offers the instance method.
bool respondsTo(host::Id object, const char* selector);
// The host exports the C function of that name.
void exportFunction(const std::string& name);
bool hasFunction(const std::string& name);
// Everything the host offers, in Objective-C notation, one per line:
// "+[Class selector]" and "-[Class selector]" for every class getClass finds
// (the root's `init` and `dealloc` left out), then "Function()"; each group
// sorted.
std::vector<std::string> offeredOperations();
// The implementation the table holds for `selector`, or null.
Imp methodFor(Class* cls, Sel selector);

// Records a new object as alive and sends it `init` through the table.
// Returns what `init` returned.
Id sendInit(Id allocated);
// Creates an object of `cls` (one counted reference) and sends it `init`
// through the table. Returns what `init` returned.
template <class T, class... Args>
Id allocInit(Class* cls, Args&&... args) {
  Id self = new T(cls, std::forward<Args>(args)...);
  return sendInit(self);
}
// Sends a no-argument or one-argument message through the table.
void sendVoid(Id self, const char* selector);
void sendVoid(Id self, const char* selector, Id argument);
// Destroys the object now through its class's `dealloc`, whatever its count,
// as a host tearing an object down would.
void destroy(Id object);
// Adds the object to the innermost autorelease pool.
Id autorelease(Id object);
// Drains every open pool down to the run loop's own, as the main run loop
// does at the end of each turn.
void drainRunLoopPool();
// True while `object` has not been destroyed.
bool isAlive(const void* object);
// Number of live objects of the named class.
int liveObjectCount(const std::string& className);

// Forgets every class, function and object (objects still alive are freed).
void resetRuntime(const std::vector<std::string>& missingClasses);

}  // namespace sim
