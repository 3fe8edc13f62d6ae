#include "sim/runtime.h"

#include <set>
#include <unordered_map>

#include "sim/journal.h"

namespace sim {
namespace {

struct Runtime {
  std::map<std::string, std::unique_ptr<Class>> classes;
  std::set<std::string> missing;
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
    setMethod(slot.get(), "init", reinterpret_cast<Imp>(&rootInit));
    setMethod(slot.get(), "dealloc", reinterpret_cast<Imp>(&rootDealloc));
  }
  return slot.get();
}

Class* findClass(const std::string& name) {
  if (rt().missing.count(name)) return nullptr;
  auto it = rt().classes.find(name);
  return it == rt().classes.end() ? nullptr : it->second.get();
}

void setMethod(Class* cls, const char* selector, Imp imp) {
  cls->methods[host::selectorNamed(selector)] = imp;
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
  r.missing = std::set<std::string>(missingClasses.begin(), missingClasses.end());
}

}  // namespace sim

namespace host {

Class* getClass(const char* name) { return name ? sim::findClass(name) : nullptr; }

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
