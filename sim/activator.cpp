// The simulated event framework: listeners registered by name, and events
// with a handled flag that the user's gestures send to them.
#include "sim/activator.h"

#include <algorithm>

#include "host/host.h"
#include "sim/boot_steps.h"
#include "sim/journal.h"
#include "sim/journal_text.h"
#include "sim/object_cast.h"
#include "sim/uikit.h"

namespace sim {
namespace {

struct Activator : host::Object {
  using Object::Object;
};

struct Event : host::Object {
  using Object::Object;
  bool handled = false;
};

struct Registration {
  std::string name;
  host::Listener* listener;
};

struct ActivatorModel {
  Id shared = nullptr;
  Class* eventClass = nullptr;
  std::vector<Registration> listeners;  // registration order
};

ActivatorModel& activatorModel() {
  static auto* model = new ActivatorModel;
  return *model;
}

}  // namespace

void activatorDefine(const BootOptions& options) {
  auto& m = activatorModel();
  m = ActivatorModel{};
  Class* activatorClass = defineClass("LAActivator");
  m.eventClass = defineClass("LAEvent");
  if (!options.noActivator) m.shared = allocInit<Activator>(activatorClass);
}

EventOutcome sendEvent(const std::string& name) {
  EventOutcome outcome;
  auto& m = activatorModel();
  // Once the process has ended its listeners are gone with it.
  if (!m.shared || !isAlive(m.shared)) return outcome;
  auto it = std::find_if(m.listeners.begin(), m.listeners.end(),
                         [&](const Registration& r) { return r.name == name; });
  if (it == m.listeners.end()) return outcome;
  outcome.delivered = true;
  const std::size_t levelsBefore = backlightLevels().size();
  Id event = allocInit<Event>(m.eventClass);
  it->listener->activatorReceiveEvent(m.shared, event);
  if (auto* e = objectAs<Event>(event)) outcome.handled = e->handled;
  if (backlightLevels().size() > levelsBefore) outcome.level = backlightLevels().back();
  host::release(event);
  return outcome;
}

std::vector<std::string> registeredListenerNames() {
  std::vector<std::string> names;
  for (const auto& r : activatorModel().listeners) names.push_back(r.name);
  return names;
}

}  // namespace sim

namespace host {

Id activatorShared() {
  Id activator = sim::objectAs<sim::Activator>(sim::activatorModel().shared);
  sim::journal("activatorShared", activator ? "LAActivator" : "(null)");
  return activator;
}

void activatorRegisterListener(Id activator, Listener* listener, const char* name) {
  sim::journal("activatorRegisterListener", name ? name : "(null)");
  if (!sim::objectAs<sim::Activator>(activator) || !listener || !name) return;
  auto& listeners = sim::activatorModel().listeners;
  auto it = std::find_if(listeners.begin(), listeners.end(),
                         [&](const sim::Registration& r) { return r.name == name; });
  if (it != listeners.end())
    it->listener = listener;
  else
    listeners.push_back({name, listener});
}

void eventSetHandled(Id event, bool handled) {
  sim::journal("eventSetHandled", sim::journalText(handled));
  if (auto* e = sim::objectAs<sim::Event>(event)) e->handled = handled;
}

}  // namespace host
