#include "sim/runtime.h"

#include <set>
#include <unordered_map>

#include "sim/journal.h"

namespace sim {
namespace {

struct Runtime {
  std::map<std::string, std::unique_ptr<Class>> classes;
  std::set<std::string> missing;
  std::set<std::string> functions;
  std::unordered_map<const void*, Class*> live;
  std::vector<std::vector<Id>> pools{1};
};

Runtime& rt() {
  static Runtime* runtime = new Runtime;
  return *runtime;
}

void rootDealloc(Id self, Sel) {
  rt().live.erase(self);
  delete self;
}

Id rootInit(Id self, Sel) { return self; }

// Releases the objects of every pool at `depth` and above; pools above the
// base one are closed.
void drainFrom(std::size_t depth) {
  auto& pools = rt().pools;
  while (pools.size() > depth) {
    std::vector<Id> objects;
    objects.swap(pools.back());
    if (pools.size() > 1) pools.pop_back();
    for (Id object : objects) host::release(object);
    if (depth == 0 && pools.size() == 1 && pools.front().empty()) break;
  }
}

}  // namespace

Class* defineClass(const std::string& name) {
  auto& slot = rt().classes[name];
  if (!slot) {
    slot = std::make_unique<Class>();
    slot->name = name;
    // The root's, which every class inherits.
    slot->methods[host::selectorNamed("init")] = reinterpret_cast<Imp>(&rootInit);
    slot->methods[host::selectorNamed("dealloc")] = reinterpret_cast<Imp>(&rootDealloc);
  }
  return slot.get();
}

Class* findClass(const std::string& name) {
  if (rt().missing.count(name)) return nullptr;
  auto it = rt().classes.find(name);
  return it == rt().classes.end() ? nullptr : it->second.get();
}

Class* definedClass(const std::string& name) {
  auto it = rt().classes.find(name);
  return it == rt().classes.end() ? nullptr : it->second.get();
}

void setMethod(Class* cls, const char* selector, Imp imp) {
  cls->methods[host::selectorNamed(selector)] = imp;
  cls->ownMethods.insert(selector);
}

namespace {
// Stands in the dispatch table for a method the simulator answers itself.
void answeredBySimulator(Id, Sel) {}
}  // namespace

void offerMethod(Class* cls, const char* selector) {
  cls->methods.try_emplace(host::selectorNamed(selector), reinterpret_cast<Imp>(&answeredBySimulator));
  cls->ownMethods.insert(selector);
}

void offerClassMethod(Class* cls, const char* selector) { cls->classMethods.insert(selector); }

bool hasClassMethod(Class* cls, const char* selector) { return cls && cls->classMethods.count(selector); }

bool respondsTo(Id object, const char* selector) {
  return object && isAlive(object) && methodFor(object->isa, host::selectorNamed(selector));
}

void exportFunction(const std::string& name) { rt().functions.insert(name); }

bool hasFunction(const std::string& name) { return rt().functions.count(name) != 0; }

std::vector<std::string> offeredOperations() {
  std::vector<std::string> lines;
  for (const auto& [name, cls] : rt().classes) {
    if (!findClass(name)) continue;
    for (const auto& selector : cls->classMethods) lines.push_back("+[" + name + " " + selector + "]");
    for (const auto& selector : cls->ownMethods) lines.push_back("-[" + name + " " + selector + "]");
  }
  for (const auto& function : rt().functions) lines.push_back(function + "()");
  return lines;
}

Imp methodFor(Class* cls, Sel selector) {
  if (!cls) return nullptr;
  auto it = cls->methods.find(selector);
  return it == cls->methods.end() ? nullptr : it->second;
}

Id sendInit(Id allocated) {
  rt().live[allocated] = allocated->isa;
  Sel cmd = host::selectorNamed("init");
  auto imp = reinterpret_cast<InitImp>(methodFor(allocated->isa, cmd));
  return imp ? imp(allocated, cmd) : allocated;
}

void sendVoid(Id self, const char* selector) {
  if (!self) return;
  Sel cmd = host::selectorNamed(selector);
  if (auto imp = reinterpret_cast<VoidImp>(methodFor(self->isa, cmd))) imp(self, cmd);
}

void sendVoid(Id self, const char* selector, Id argument) {
  if (!self) return;
  Sel cmd = host::selectorNamed(selector);
  if (auto imp = reinterpret_cast<VoidIdImp>(methodFor(self->isa, cmd))) imp(self, cmd, argument);
}

void destroy(Id object) {
  if (!object || !isAlive(object)) return;
  sendVoid(object, "dealloc");
}

Id autorelease(Id object) {
  if (object) rt().pools.back().push_back(object);
  return object;
}

void drainRunLoopPool() {
  drainFrom(1);
  drainFrom(0);
}

bool isAlive(const void* object) { return rt().live.count(object) != 0; }

int liveObjectCount(const std::string& className) {
  int count = 0;
  for (const auto& [object, cls] : rt().live) count += cls->name == className;
  return count;
}

void resetRuntime(const std::vector<std::string>& missingClasses) {
  auto& r = rt();
  r.pools.assign(1, {});
  for (auto& [object, cls] : r.live) delete static_cast<const host::Object*>(object);
  r.live.clear();
  r.classes.clear();
  r.functions.clear();
  r.missing = std::set<std::string>(missingClasses.begin(), missingClasses.end());
}

}  // namespace sim

namespace host {

Class* getClass(const char* name) { return name ? sim::findClass(name) : nullptr; }

bool classHasInstanceMethod(Class* cls, Sel sel) { return sim::methodFor(cls, sel) != nullptr; }

Sel selectorNamed(const char* name) {
  // Selectors are interned for the life of the process, as on the device.
  static auto* selectors = new std::map<std::string, std::unique_ptr<Selector>, std::less<>>;
  auto& slot = (*selectors)[name];
  if (!slot) slot = std::make_unique<Selector>(Selector{name});
  return slot.get();
}

Id retain(Id object) {
  if (object && sim::isAlive(object)) ++object->retainCount;
  return object;
}

void release(Id object) {
  if (!object || !sim::isAlive(object)) return;
  if (--object->retainCount == 0) sim::sendVoid(object, "dealloc");
}

void hookMessage(Class* cls, Sel sel, Imp replacement, Imp* saved) {
  sim::journal("hookMessage", (cls ? cls->name : std::string("(null)")) + " " + (sel ? sel->name : ""));
  if (!cls || !sel) return;
  Imp previous = sim::methodFor(cls, sel);
  cls->methods[sel] = replacement;
  if (saved) *saved = previous;
}

AutoreleasePool* autoreleasePoolPush() {
  sim::journal("autoreleasePoolPush");
  auto& pools = sim::rt().pools;
  pools.emplace_back();
  return reinterpret_cast<AutoreleasePool*>(pools.size() - 1);
}

void autoreleasePoolDrain(AutoreleasePool* pool) {
  auto depth = reinterpret_cast<std::size_t>(pool);
  auto& pools = sim::rt().pools;
  if (depth == 0 || depth >= pools.size()) return;
  sim::journal("autoreleasePoolDrain");
  // Draining a pool drains every pool pushed after it too.
  sim::drainFrom(depth);
}

}  // namespace host
