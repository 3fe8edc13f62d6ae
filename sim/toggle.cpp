// The simulated toggle framework: loads every switch bundle of
// Library/Switches, instantiates each bundle's principal class and relays
// the user's taps and alternate actions to it. Its toggles show what a
// switch last reported: when first shown, after a tap, and whenever the
// switch says its state may have changed. Every host process loads the
// switches, as any process may show them.
#include "sim/toggle.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "host/host.h"
#include "sim/boot_steps.h"
#include "sim/journal.h"
#include "sim/plist_read.h"
#include "sim/runtime.h"
#include "sim/switch_classes.h"
#include "sim/uikit_internal.h"

namespace fs = std::filesystem;

namespace sim {
namespace {

struct LoadedSwitch {
  std::string identifier;
  std::unique_ptr<host::SwitchDataSource> dataSource;
  // What the switch's toggle shows; none until the toggle is first shown.
  std::optional<int> shown;
};

struct Framework {
  std::vector<LoadedSwitch> switches;
  std::vector<void*> handles;  // in load order
};

Framework& framework() {
  static auto* state = new Framework;
  return *state;
}

LoadedSwitch* loadedSwitch(const std::string& identifier) {
  for (auto& loaded : framework().switches)
    if (loaded.identifier == identifier) return &loaded;
  return nullptr;
}

host::SwitchDataSource* dataSourceFor(const std::string& identifier) {
  LoadedSwitch* loaded = loadedSwitch(identifier);
  return loaded ? loaded->dataSource.get() : nullptr;
}

// Asks the switch for its state; an unknown switch is indeterminate.
int ask(const std::string& identifier) {
  host::SwitchDataSource* dataSource = dataSourceFor(identifier);
  int state = dataSource ? dataSource->stateForSwitchIdentifier(identifier) : -1;
  journal("switchState", identifier + " " + std::to_string(state));
  return state;
}

// The switch's toggle asks it again and shows the answer.
void refreshToggle(const std::string& identifier) {
  if (LoadedSwitch* loaded = loadedSwitch(identifier)) loaded->shown = ask(identifier);
}

// What a bundle's Info.plist must name for the framework to use it.
struct BundleDescription {
  std::string identifier;
  std::string executable;
  std::string principalClass;
};

// The bundle's description, or none (with the reason) when a key is
// missing or the executable name leaves the bundle folder.
std::optional<BundleDescription> describe(const fs::path& bundle, std::string& reason) {
  const std::string info = (bundle / "Info.plist").string();
  auto identifier = plistString(info, "CFBundleIdentifier");
  auto executable = plistString(info, "CFBundleExecutable");
  auto principalClass = plistString(info, "NSPrincipalClass");
  if (!identifier || identifier->empty()) reason = "no CFBundleIdentifier";
  else if (!executable || executable->empty()) reason = "no CFBundleExecutable";
  else if (!principalClass || principalClass->empty()) reason = "no NSPrincipalClass";
  else if (executable->find('/') != std::string::npos || *executable == "." || *executable == "..")
    reason = "executable outside the bundle";
  else
    return BundleDescription{*identifier, *executable, *principalClass};
  return std::nullopt;
}

void loadBundle(const fs::path& bundle) {
  auto& f = framework();
  const std::string name = bundle.filename().string();
  std::string reason;
  auto description = describe(bundle, reason);
  if (!description) return journal("toggleFailed", name + ": " + reason);
  if (dataSourceFor(description->identifier))
    return journal("toggleFailed", name + ": identifier " + description->identifier + " already loaded");
  journal("toggleLoad", name + " " + description->identifier);
  void* handle = dlopen((bundle / description->executable).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* error = dlerror();
    return journal("toggleFailed", name + ": " + (error ? error : "cannot load"));
  }
  f.handles.push_back(handle);
  host::SwitchDataSourceFactory factory = switchClassFactory(description->principalClass);
  if (!factory) return journal("toggleFailed", name + ": no class " + description->principalClass);
  std::unique_ptr<host::SwitchDataSource> dataSource(factory());
  if (!dataSource) return journal("toggleFailed", name + ": " + description->principalClass + " made nothing");
  f.switches.push_back({description->identifier, std::move(dataSource), std::nullopt});
}

}  // namespace

void toggleLoad(const BootOptions&) {
  std::vector<fs::path> bundles;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(hostPath("/Library/Switches"), ec))
    if (entry.path().extension() == ".bundle" && entry.is_directory(ec)) bundles.push_back(entry.path());
  std::sort(bundles.begin(), bundles.end());
  for (const auto& bundle : bundles) loadBundle(bundle);
}

void toggleUnload() {
  auto& f = framework();
  // Alerts on screen may have a data source as their delegate, and every
  // data source's code lives in a module about to go.
  alertsTakeDown();
  f.switches.clear();
  forgetSwitchClasses();
  for (auto it = f.handles.rbegin(); it != f.handles.rend(); ++it) dlclose(*it);
  f.handles.clear();
}

std::vector<std::string> switchIdentifiers() {
  std::vector<std::string> identifiers;
  for (const auto& loaded : framework().switches) identifiers.push_back(loaded.identifier);
  return identifiers;
}

int switchState(const std::string& identifier) {
  const int state = ask(identifier);
  drainRunLoopPool();
  return state;
}

int toggleState(const std::string& identifier) {
  LoadedSwitch* loaded = loadedSwitch(identifier);
  if (!loaded) return -1;
  if (!loaded->shown) refreshToggle(identifier);
  drainRunLoopPool();
  return *loaded->shown;
}

void applySwitchState(const std::string& identifier, int newState) {
  journal("switchApplyState", identifier + " " + std::to_string(newState));
  if (host::SwitchDataSource* dataSource = dataSourceFor(identifier)) {
    dataSource->applyStateForSwitchIdentifier(newState, identifier);
    refreshToggle(identifier);
  }
  drainRunLoopPool();
}

void switchAlternateAction(const std::string& identifier) {
  journal("switchAlternateAction", identifier);
  if (host::SwitchDataSource* dataSource = dataSourceFor(identifier))
    dataSource->applyAlternateActionForSwitchIdentifier(identifier);
  drainRunLoopPool();
}

}  // namespace sim

void host::switchPanelStateDidChange(const char* switchIdentifier) {
  sim::journal("switchPanelStateDidChange", switchIdentifier ? switchIdentifier : "(null)");
  if (switchIdentifier) sim::refreshToggle(switchIdentifier);
}
