// The SpringBoard queries of host.h, answered from the simulated SpringBoard.
// Each is journaled with what it answered.
#include "host/host.h"
#include "sim/journal.h"
#include "sim/journal_text.h"
#include "sim/object_cast.h"
#include "sim/springboard_model.h"

namespace host {

using sim::objectAs;
using sim::springBoardModel;

Id awayControllerShared() {
  Id controller = sim::findClass("SBAwayController") ? springBoardModel().awayController : nullptr;
  sim::journal("awayControllerShared", controller ? "SBAwayController" : "(null)");
  return controller;
}

bool awayControllerIsLocked(Id awayController) {
  const bool isLocked = objectAs<sim::AwayController>(awayController) && springBoardModel().locked;
  sim::journal("awayControllerIsLocked", sim::journalText(isLocked));
  return isLocked;
}

Id lockScreenManagerShared() {
  Id manager = sim::hasClassMethod(sim::findClass("SBLockScreenManager"), "sharedInstance")
                   ? springBoardModel().lockScreenManager
                   : nullptr;
  sim::journal("lockScreenManagerShared", manager ? "SBLockScreenManager" : "(null)");
  return manager;
}

bool lockScreenManagerIsUILocked(Id lockScreenManager) {
  const bool isLocked = objectAs<sim::LockScreenManager>(lockScreenManager) &&
                        sim::respondsTo(lockScreenManager, "isUILocked") && springBoardModel().locked;
  sim::journal("lockScreenManagerIsUILocked", sim::journalText(isLocked));
  return isLocked;
}

Id springBoardFrontMostApplication(Id springBoard) {
  const auto& m = springBoardModel();
  Id application = nullptr;
  if (objectAs<sim::SpringBoardObject>(springBoard) &&
      sim::respondsTo(springBoard, "_accessibilityFrontMostApplication") && m.front) {
    auto it = m.applications.find(*m.front);
    if (it != m.applications.end()) application = it->second;
  }
  sim::journal("springBoardFrontMostApplication", application ? *m.front : "(null)");
  return application;
}

std::optional<std::string> applicationBundleIdentifier(Id application) {
  auto* app = objectAs<sim::Application>(application);
  auto identifier = app && sim::respondsTo(application, "bundleIdentifier")
                        ? std::optional<std::string>(app->identifier)
                        : std::nullopt;
  sim::journal("applicationBundleIdentifier", sim::journalText(identifier));
  return identifier;
}

Id displayStackTopApplication(Id displayStack) {
  const auto& m = springBoardModel();
  auto* stack = objectAs<sim::DisplayStack>(displayStack);
  Id application = nullptr;
  if (stack && stack->holdsFrontApplication && sim::respondsTo(displayStack, "topApplication") && m.front) {
    auto it = m.applications.find(*m.front);
    if (it != m.applications.end()) application = it->second;
  }
  sim::journal("displayStackTopApplication", application ? *m.front : "(null)");
  return application;
}

std::optional<std::string> applicationDisplayIdentifier(Id application) {
  auto* app = objectAs<sim::Application>(application);
  auto identifier = app && sim::respondsTo(application, "displayIdentifier")
                        ? std::optional<std::string>(app->identifier)
                        : std::nullopt;
  sim::journal("applicationDisplayIdentifier", sim::journalText(identifier));
  return identifier;
}

Id workspaceBKSWorkspace(Id workspace) {
  Id backboard = objectAs<sim::Workspace>(workspace) && sim::respondsTo(workspace, "bksWorkspace")
                    ? springBoardModel().backboardWorkspace
                    : nullptr;
  sim::journal("workspaceBKSWorkspace", backboard ? "BKSWorkspace" : "(null)");
  return backboard;
}

std::optional<std::string> bksWorkspaceTopApplication(Id bksWorkspace) {
  auto identifier = objectAs<sim::BackboardWorkspace>(bksWorkspace) && sim::respondsTo(bksWorkspace, "topApplication")
                        ? springBoardModel().front
                        : std::nullopt;
  sim::journal("bksWorkspaceTopApplication", sim::journalText(identifier));
  return identifier;
}

}  // namespace host
