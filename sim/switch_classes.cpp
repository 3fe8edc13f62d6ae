#include "sim/switch_classes.h"

#include <map>

#include "sim/journal.h"

namespace sim {
namespace {

std::map<std::string, host::SwitchDataSourceFactory>& classes() {
  static auto* table = new std::map<std::string, host::SwitchDataSourceFactory>;
  return *table;
}

}  // namespace

host::SwitchDataSourceFactory switchClassFactory(const std::string& name) {
  auto it = classes().find(name);
  return it == classes().end() ? nullptr : it->second;
}

void forgetSwitchClasses() { classes().clear(); }

}  // namespace sim

namespace host {

void registerSwitchDataSourceClass(const char* name, SwitchDataSourceFactory factory) {
  sim::journal("registerSwitchDataSourceClass", name ? name : "(null)");
  if (!name || !factory) return;
  // As with the device's runtime, when two images define a class of the same
  // name the one loaded first is the one found.
  if (!sim::classes().emplace(name, factory).second) sim::journal("registerSwitchDataSourceClassDuplicate", name);
}

}  // namespace host
