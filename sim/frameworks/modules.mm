// The hooking loader and the toggle framework: loading the libraries of
// Library/MobileSubstrate/DynamicLibraries whose filter names the process,
// and the switch bundles of Library/Switches with their data sources; the
// framework's panel, its toggles and the user's taps.
#import <Foundation/Foundation.h>

#include <dlfcn.h>
#include <objc/runtime.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "adapter/include/Flipswitch.h"
#include "sim/device_files.h"
#include "sim/frameworks/boot_steps.h"
#include "sim/frameworks/journal_call.h"
#include "sim/frameworks/platform.h"
#include "sim/plist_read.h"
#include "sim/toggle.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string>& stateChanges() {
  static auto* changes = new std::vector<std::string>;
  return *changes;
}

// A switch the framework loaded: its data source (owned), and what its
// toggle shows, none until the toggle is first shown.
struct LoadedSwitch {
  std::string identifier;
  id dataSource;
  std::optional<int> shown;
};

std::vector<LoadedSwitch>& switches() {
  static auto* loaded = new std::vector<LoadedSwitch>;
  return *loaded;
}

LoadedSwitch* loadedSwitch(const std::string& identifier) {
  for (auto& loaded : switches())
    if (loaded.identifier == identifier) return &loaded;
  return nullptr;
}

NSString* nsString(const std::string& text) { return [NSString stringWithUTF8String:text.c_str()]; }

// Asks the switch for its state; an unknown switch, or one without the
// method, is indeterminate.
int ask(const std::string& identifier) {
  LoadedSwitch* loaded = loadedSwitch(identifier);
  if (!loaded || ![loaded->dataSource respondsToSelector:@selector(stateForSwitchIdentifier:)]) return -1;
  return [loaded->dataSource stateForSwitchIdentifier:nsString(identifier)];
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

// The bundle's description, or none (with the reason) when a key is missing
// or the executable name leaves the bundle folder.
std::optional<BundleDescription> describe(const fs::path& bundle, std::string& reason) {
  const std::string info = (bundle / "Info.plist").string();
  auto identifier = sim::plistString(info, "CFBundleIdentifier");
  auto executable = sim::plistString(info, "CFBundleExecutable");
  auto principalClass = sim::plistString(info, "NSPrincipalClass");
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
  const std::string name = bundle.filename().string();
  std::string reason;
  auto description = describe(bundle, reason);
  if (!description) return sim::journal("toggleFailed", name + ": " + reason);
  if (loadedSwitch(description->identifier))
    return sim::journal("toggleFailed", name + ": identifier " + description->identifier + " already loaded");
  sim::journal("toggleLoad", name + " " + description->identifier);
  if (!dlopen((bundle / description->executable).c_str(), RTLD_NOW | RTLD_LOCAL)) {
    const char* error = dlerror();
    return sim::journal("toggleFailed", name + ": " + (error ? error : "cannot load"));
  }
  Class cls = objc_getClass(description->principalClass.c_str());
  if (!cls) return sim::journal("toggleFailed", name + ": no class " + description->principalClass);
  id dataSource = [[cls alloc] init];
  if (!dataSource) return sim::journal("toggleFailed", name + ": " + description->principalClass + " made nothing");
  switches().push_back({description->identifier, dataSource, std::nullopt});
}

// The libraries in `folder` with `extension`, or the bundles, sorted.
std::vector<fs::path> entriesOf(const std::string& devicePath, const char* extension, bool folders) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(sim::hostPath(devicePath), ec))
    if (entry.path().extension() == extension && entry.is_directory(ec) == folders) found.push_back(entry.path());
  std::sort(found.begin(), found.end());
  return found;
}

// A library without a filter list is loaded everywhere; one with a list only
// into the bundles it names.
bool filterAdmits(const fs::path& library, const std::string& bundle) {
  fs::path filter = library;
  filter.replace_extension(".plist");
  std::error_code ec;
  if (!fs::exists(filter, ec)) return true;
  auto bundles = sim::plistStringArray(filter.string(), "Filter", "Bundles");
  return bundles && std::find(bundles->begin(), bundles->end(), bundle) != bundles->end();
}

}  // namespace

// The implementations FSSwitchPanel is made with.
@interface StandinSwitchPanel : NSObject
@end

@implementation StandinSwitchPanel

+ (id)sharedPanel {
  standin::journalMessage(self, _cmd);
  static id panel = [[self alloc] init];
  return panel;
}

- (void)stateDidChangeForSwitchIdentifier:(NSString*)switchIdentifier {
  standin::journalMessage(self, _cmd, standin::journalString(switchIdentifier));
  const char* identifier = [switchIdentifier UTF8String];
  stateChanges().push_back(identifier ? identifier : "(nil)");
  if (identifier) refreshToggle(identifier);
}

@end

namespace standin {

void offerSwitchPanel(bool withStateChange) {
  Class source = objc_getClass("StandinSwitchPanel");
  Class panel = objc_getClass("FSSwitchPanel");
  if (!panel) {
    panel = objc_allocateClassPair(objc_getClass("NSObject"), "FSSwitchPanel", 0);
    objc_registerClassPair(panel);
    Method shared = class_getClassMethod(source, @selector(sharedPanel));
    class_addMethod(object_getClass(panel), @selector(sharedPanel), method_getImplementation(shared),
                    method_getTypeEncoding(shared));
  }
  // Adds nothing where the class has the method already.
  if (withStateChange) {
    Method change = class_getInstanceMethod(source, @selector(stateDidChangeForSwitchIdentifier:));
    class_addMethod(panel, @selector(stateDidChangeForSwitchIdentifier:), method_getImplementation(change),
                    method_getTypeEncoding(change));
  }
}

const std::vector<std::string>& switchStateChanges() { return stateChanges(); }

void loadLibraries(const std::string& bundle) {
  for (const fs::path& library : entriesOf("/Library/MobileSubstrate/DynamicLibraries", ".dylib", false)) {
    if (!filterAdmits(library, bundle)) continue;
    sim::journal("loaderLoad", library.filename().string());
    if (!dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL)) {
      const char* error = dlerror();
      sim::journal("loaderFailed", error ? error : "cannot load");
    }
  }
}

void loadSwitches() {
  offerSwitchPanel(true);
  for (const fs::path& bundle : entriesOf("/Library/Switches", ".bundle", true)) loadBundle(bundle);
}

void unloadSwitches() {
  for (LoadedSwitch& loaded : switches()) [loaded.dataSource release];
  switches().clear();
}

}  // namespace standin

namespace sim {

std::vector<std::string> switchIdentifiers() {
  std::vector<std::string> identifiers;
  for (const auto& loaded : switches()) identifiers.push_back(loaded.identifier);
  return identifiers;
}

int switchState(const std::string& identifier) {
  const int state = ask(identifier);
  runLoopDrain();
  return state;
}

int toggleState(const std::string& identifier) {
  LoadedSwitch* loaded = loadedSwitch(identifier);
  if (!loaded) return -1;
  if (!loaded->shown) refreshToggle(identifier);
  runLoopDrain();
  return *loaded->shown;
}

void applySwitchState(const std::string& identifier, int newState) {
  if (LoadedSwitch* loaded = loadedSwitch(identifier)) {
    if ([loaded->dataSource respondsToSelector:@selector(applyState:forSwitchIdentifier:)])
      [loaded->dataSource applyState:static_cast<FSSwitchState>(newState) forSwitchIdentifier:nsString(identifier)];
    refreshToggle(identifier);
  }
  runLoopDrain();
}

void switchAlternateAction(const std::string& identifier) {
  LoadedSwitch* loaded = loadedSwitch(identifier);
  if (loaded && [loaded->dataSource respondsToSelector:@selector(applyAlternateActionForSwitchIdentifier:)])
    [loaded->dataSource applyAlternateActionForSwitchIdentifier:nsString(identifier)];
  runLoopDrain();
}

}  // namespace sim
