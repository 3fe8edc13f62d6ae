#include "extension/front_application.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "extension/extension_state.h"
#include "host/releases.h"
#include "settings/keys.h"
#include "settings/store.h"

namespace {

using host::kFrontDisplayArgumentVersion;
using host::kFrontMostVersion;
using host::kWorkspaceVersion;

// The version is read anew at every comparison.
bool hostUsesWorkspace() { return !(host::coreFoundationVersion() < kWorkspaceVersion); }
bool frontDisplayTakesArgument() { return !(host::coreFoundationVersion() < kFrontDisplayArgumentVersion); }
bool springBoardNamesFront() { return !(host::coreFoundationVersion() < kFrontMostVersion); }

using InitImp = host::Id (*)(host::Id self, host::Sel cmd);
using VoidImp = void (*)(host::Id self, host::Sel cmd);
using VoidIdImp = void (*)(host::Id self, host::Sel cmd, host::Id argument);

template <class Imp>
Imp original(host::Imp imp) {
  return reinterpret_cast<Imp>(imp);
}

template <class Imp>
host::Imp replacement(Imp imp) {
  return reinterpret_cast<host::Imp>(imp);
}

host::Id displayStackInit(host::Id self, host::Sel cmd) {
  ExtensionState& s = extensionState();
  host::Id stack = original<InitImp>(s.saved.init)(self, cmd);
  if (stack) s.displayStacks.push_back(stack);
  return stack;
}

void displayStackDealloc(host::Id self, host::Sel cmd) {
  ExtensionState& s = extensionState();
  std::erase(s.displayStacks, self);
  original<VoidImp>(s.saved.dealloc)(self, cmd);
}

host::Id workspaceInit(host::Id self, host::Sel cmd) {
  ExtensionState& s = extensionState();
  host::Id workspace = original<InitImp>(s.saved.init)(self, cmd);
  // The earlier workspace's reference is given back, after the new one is
  // taken in case they are the same object.
  if (workspace) host::release(std::exchange(s.currentWorkspace, host::retain(workspace)));
  return workspace;
}

void workspaceDealloc(host::Id self, host::Sel cmd) {
  ExtensionState& s = extensionState();
  // Being destroyed: the reference is dropped, not given back.
  if (self == s.currentWorkspace) s.currentWorkspace = nullptr;
  original<VoidImp>(s.saved.dealloc)(self, cmd);
}

void frontDisplayDidChange(host::Id self, host::Sel cmd) {
  original<VoidImp>(extensionState().saved.frontDisplayDidChange)(self, cmd);
  updateFrontApplication();
}

void frontDisplayDidChangeTo(host::Id self, host::Sel cmd, host::Id display) {
  original<VoidIdImp>(extensionState().saved.frontDisplayDidChange)(self, cmd, display);
  updateFrontApplication();
}

// The identifier of the application in front, or none.
std::optional<std::string> frontIdentifier(const ExtensionState& s) {
  if (springBoardNamesFront())
    return host::applicationBundleIdentifier(host::springBoardFrontMostApplication(host::applicationShared()));
  if (!hostUsesWorkspace()) {
    host::Id stack = s.displayStacks.size() > 1 ? s.displayStacks[1] : nullptr;
    return host::applicationDisplayIdentifier(host::displayStackTopApplication(stack));
  }
  return host::bksWorkspaceTopApplication(host::workspaceBKSWorkspace(s.currentWorkspace));
}

// SBAwayController where the host has it (iOS 6 and earlier), else the lock
// screen's manager.
bool deviceLocked() {
  if (host::getClass("SBAwayController")) return host::awayControllerIsLocked(host::awayControllerShared());
  return host::lockScreenManagerIsUILocked(host::lockScreenManagerShared());
}

}  // namespace

void installFrontApplicationHooks() {
  ExtensionState& s = extensionState();
  if (springBoardNamesFront()) {
    // Nothing to capture: only the front display handler is replaced, and
    // only where the host has it.
    host::Class* springBoard = host::getClass("SpringBoard");
    host::Sel changed = host::selectorNamed("frontDisplayDidChange:");
    if (host::classHasInstanceMethod(springBoard, changed))
      host::hookMessage(springBoard, changed, replacement(&frontDisplayDidChangeTo), &s.saved.frontDisplayDidChange);
    return;
  }
  const bool workspace = hostUsesWorkspace();
  host::Class* holder = host::getClass(workspace ? "SBWorkspace" : "SBDisplayStack");
  host::hookMessage(holder, host::selectorNamed("init"),
                    workspace ? replacement(&workspaceInit) : replacement(&displayStackInit), &s.saved.init);
  host::hookMessage(holder, host::selectorNamed("dealloc"),
                    workspace ? replacement(&workspaceDealloc) : replacement(&displayStackDealloc),
                    &s.saved.dealloc);
  host::Class* springBoard = host::getClass("SpringBoard");
  if (frontDisplayTakesArgument())
    host::hookMessage(springBoard, host::selectorNamed("frontDisplayDidChange:"),
                      replacement(&frontDisplayDidChangeTo), &s.saved.frontDisplayDidChange);
  else
    host::hookMessage(springBoard, host::selectorNamed("frontDisplayDidChange"),
                      replacement(&frontDisplayDidChange), &s.saved.frontDisplayDidChange);
}

void updateFrontApplication() {
  ExtensionState& s = extensionState();
  if (deviceLocked()) return;
  std::optional<std::string> identifier = frontIdentifier(s);
  s.springBoardBlocked = s.disableSpringBoard && !identifier;
  // The copy is owned, so the outgoing identifier needs no keeping alive.
  if (identifier) s.frontAppIdentifier = std::move(identifier);
  if (!s.frontAppIdentifier) return;
  const std::string key = appDisableKey(*s.frontAppIdentifier);
  s.appDisabled = settings::Values(settings::kSettingsPath, {key}).boolean(key).value_or(settings::kAppDisableDefault);
}
