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

Id displayStackTopApplication(Id displayStack) {
  const auto& m = springBoardModel();
  auto* stack = objectAs<sim::DisplayStack>(displayStack);
  Id application = nullptr;
  if (stack && stack->holdsFrontApplication && m.front) {
    auto it = m.applications.find(*m.front);
    if (it != m.applications.end()) application = it->second;
  }
  sim::journal("displayStackTopApplication", application ? *m.front : "(null)");
  return application;
}

std::optional<std::string> applicationDisplayIdentifier(Id application) {
  auto* app = objectAs<sim::Application>(application);
  auto identifier = app ? std::optional<std::string>(app->identifier) : std::nullopt;
  sim::journal("applicationDisplayIdentifier", sim::journalText(identifier));
  return identifier;
}

Id workspaceBKSWorkspace(Id workspace) {
  Id backboard = objectAs<sim::Workspace>(workspace) ? springBoardModel().backboardWorkspace : nullptr;
  sim::journal("workspaceBKSWorkspace", backboard ? "BKSWorkspace" : "(null)");
  return backboard;
}

std::optional<std::string> bksWorkspaceTopApplication(Id bksWorkspace) {
  auto identifier = objectAs<sim::BackboardWorkspace>(bksWorkspace) ? springBoardModel().front : std::nullopt;
  sim::journal("bksWorkspaceTopApplication", sim::journalText(identifier));
  return identifier;
}

}  // namespace host
