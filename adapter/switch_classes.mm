#include "adapter/switch_classes.h"

#include <map>
#include <string>

namespace {

// Never destroyed: the toggle framework may create switches at any time
// until the process ends.
std::map<std::string, host::SwitchDataSourceFactory>& factories() {
  static auto* map = new std::map<std::string, host::SwitchDataSourceFactory>;
  return *map;
}

std::map<host::AlertDelegate*, id>& delegateObjects() {
  static auto* map = new std::map<host::AlertDelegate*, id>;
  return *map;
}

}  // namespace

namespace adapter {

host::SwitchDataSourceFactory switchFactoryNamed(const char* name) {
  auto it = name ? factories().find(name) : factories().end();
  return it == factories().end() ? nullptr : it->second;
}

void setAlertDelegateObject(host::AlertDelegate* delegate, id object) {
  if (delegate) delegateObjects()[delegate] = object;
}

void forgetAlertDelegateObject(host::AlertDelegate* delegate) { delegateObjects().erase(delegate); }

id alertDelegateObject(host::AlertDelegate* delegate) {
  auto it = delegateObjects().find(delegate);
  return it == delegateObjects().end() ? nil : it->second;
}

}  // namespace adapter

namespace host {

void registerSwitchDataSourceClass(const char* name, SwitchDataSourceFactory factory) {
  if (name && factory) factories().emplace(name, factory);
}

}  // namespace host
