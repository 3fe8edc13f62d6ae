// The simulated SpringBoard: its classes for the host generation, the
// objects it creates at start, applications, front display changes and the
// lock screen.
#include "sim/springboard.h"

#include <algorithm>

#include "sim/boot_steps.h"
#include "sim/object_cast.h"
#include "sim/springboard_model.h"

namespace sim {
namespace {

// The model while a SpringBoard process runs, else null.
SpringBoardModel* running() {
  auto& m = springBoardModel();
  return booted() && m.present ? &m : nullptr;
}

// SpringBoard's own front display handlers.
void handleFrontDisplay(Id, Sel) { ++springBoardModel().frontDisplayRuns; }

void handleFrontDisplayWith(Id, Sel, Id display) {
  auto& m = springBoardModel();
  ++m.frontDisplayRuns;
  auto* application = objectAs<Application>(display);
  m.lastFrontDisplayArgument =
      application ? std::optional<std::string>(application->identifier) : std::nullopt;
}

Id frontApplicationObject(const SpringBoardModel& m) {
  if (!m.front) return nullptr;
  auto it = m.applications.find(*m.front);
  return it == m.applications.end() ? nullptr : it->second;
}

}  // namespace

SpringBoardModel& springBoardModel() {
  static auto* model = new SpringBoardModel;
  return *model;
}

void springBoardDefine(const BootOptions& options) {
  auto& m = springBoardModel();
  m = SpringBoardModel{};
  if (bundleIdentifierFor(options.process) != "com.apple.springboard") return;
  m.present = true;
  // The generation's classes are in place (sim/generations.cpp); SpringBoard
  // gives the methods it dispatches their implementations.
  Class* springBoard = defineClass("SpringBoard");
  m.frontDisplayTakesArgument = springBoard->ownMethods.count("frontDisplayDidChange:") != 0;
  if (m.frontDisplayTakesArgument)
    setMethod(springBoard, "frontDisplayDidChange:", reinterpret_cast<Imp>(&handleFrontDisplayWith));
  else
    setMethod(springBoard, "frontDisplayDidChange", reinterpret_cast<Imp>(&handleFrontDisplay));
  m.applicationClass = defineClass("SBApplication");
  for (const char* name : {"SBWorkspace", "SBMainWorkspace"})
    if (Class* cls = definedClass(name); cls && cls->ownMethods.count("init")) m.workspaceClass = cls;
  m.displayStackClass = definedClass("SBDisplayStack");
}

void springBoardStart(const BootOptions& options) {
  auto& m = springBoardModel();
  if (!m.present) return;
  m.springBoard = allocInit<SpringBoardObject>(defineClass("SpringBoard"));
  if (Class* cls = definedClass("SBAwayController")) m.awayController = allocInit<AwayController>(cls);
  if (Class* cls = definedClass("SBLockScreenManager")) m.lockScreenManager = allocInit<LockScreenManager>(cls);
  if (Class* cls = definedClass("BKSWorkspace")) m.backboardWorkspace = allocInit<BackboardWorkspace>(cls);
  if (m.workspaceClass && options.workspaceAtStart) createWorkspace();
  if (m.displayStackClass)
    for (int i = 0; i < options.displayStacksAtStart; ++i) createDisplayStack();
}

void launchApplication(const std::string& identifier) {
  auto* m = running();
  if (!m) return;
  m->front = identifier;
  auto& application = m->applications[identifier];
  if (!application) application = allocInit<Application>(m->applicationClass, identifier);
  frontDisplayChanged();
}

void goHome() {
  auto* m = running();
  if (!m) return;
  m->front.reset();
  frontDisplayChanged();
}

void frontDisplayChanged() {
  auto* m = running();
  if (!m || !objectAs<SpringBoardObject>(m->springBoard)) return;
  if (m->frontDisplayTakesArgument)
    sendVoid(m->springBoard, "frontDisplayDidChange:", frontApplicationObject(*m));
  else
    sendVoid(m->springBoard, "frontDisplayDidChange");
}

std::optional<std::string> frontApplication() {
  auto* m = running();
  return m ? m->front : std::nullopt;
}

void setLocked(bool isLocked) {
  auto* m = running();
  if (!m) return;
  m->locked = isLocked;
  frontDisplayChanged();
}

bool locked() {
  auto* m = running();
  return m && m->locked;
}

int frontDisplayHandlerRuns() {
  auto* m = running();
  return m ? m->frontDisplayRuns : 0;
}

std::optional<std::string> frontDisplayHandlerArgument() {
  auto* m = running();
  return m ? m->lastFrontDisplayArgument : std::nullopt;
}

Id createDisplayStack() {
  auto* m = running();
  if (!m || !m->displayStackClass) return nullptr;
  const bool holdsFront = ++m->displayStacksCreated == 2;
  Id stack = allocInit<DisplayStack>(m->displayStackClass, holdsFront);
  if (stack) m->displayStacks.push_back(stack);
  return stack;
}

void destroyDisplayStack(Id stack) {
  auto* m = running();
  if (!m || !objectAs<DisplayStack>(stack)) return;
  std::erase(m->displayStacks, stack);
  destroy(stack);
}

std::vector<Id> displayStacks() {
  auto* m = running();
  return m ? m->displayStacks : std::vector<Id>{};
}

Id createWorkspace() {
  auto* m = running();
  if (!m || !m->workspaceClass) return nullptr;
  Id workspace = allocInit<Workspace>(m->workspaceClass);
  if (workspace) m->workspaces.push_back(workspace);
  return workspace;
}

void releaseWorkspace(Id workspace) {
  auto* m = running();
  if (!m) return;
  auto it = std::find(m->workspaces.begin(), m->workspaces.end(), workspace);
  if (it == m->workspaces.end()) return;
  m->workspaces.erase(it);
  host::release(workspace);
}

void destroyWorkspace(Id workspace) {
  auto* m = running();
  if (!m || !objectAs<Workspace>(workspace)) return;
  std::erase(m->workspaces, workspace);
  destroy(workspace);
}

Id currentWorkspace() {
  auto* m = running();
  return m && !m->workspaces.empty() ? m->workspaces.back() : nullptr;
}

}  // namespace sim
