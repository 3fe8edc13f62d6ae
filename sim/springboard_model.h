// Internal to the simulator: the simulated SpringBoard's objects and state,
// shared by its control API (springboard.cpp) and the host queries the
// deliverables make (springboard_host.cpp).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"
#include "sim/runtime.h"
#include "sim/uikit_internal.h"

namespace sim {

// The SpringBoard object, UIApplication subclass of the home-screen process.
struct SpringBoardObject : UIApplicationObject {
  using UIApplicationObject::UIApplicationObject;
};
// The lock-screen controller (iOS 6 and earlier).
struct AwayController : host::Object {
  using Object::Object;
};
// The lock screen's manager (iOS 7 and later).
struct LockScreenManager : host::Object {
  using Object::Object;
};
// An application, named by its identifier.
struct Application : host::Object {
  Application(Class* cls, std::string identifier) : Object(cls), identifier(std::move(identifier)) {}
  std::string identifier;
};
// Older hosts: one of SpringBoard's display stacks. The second created since
// the process started holds the application in front.
struct DisplayStack : host::Object {
  DisplayStack(Class* cls, bool holdsFront) : Object(cls), holdsFrontApplication(holdsFront) {}
  bool holdsFrontApplication;
};
// Newer hosts: SpringBoard's workspace, and (to iOS 7) the backboard
// workspace every workspace reaches, which knows the application in front.
struct Workspace : host::Object {
  using Object::Object;
};
struct BackboardWorkspace : host::Object {
  using Object::Object;
};

struct SpringBoardModel {
  // Whether this process is SpringBoard, and its host generation.
  bool present = false;
  bool frontDisplayTakesArgument = false;

  Class* applicationClass = nullptr;
  Class* displayStackClass = nullptr;
  Class* workspaceClass = nullptr;  // SBWorkspace, or SBMainWorkspace from iOS 9

  // Objects of the process; SpringBoard holds one reference to each.
  Id springBoard = nullptr;
  Id awayController = nullptr;
  Id lockScreenManager = nullptr;
  Id backboardWorkspace = nullptr;
  std::map<std::string, Id> applications;
  std::vector<Id> displayStacks;  // creation order
  std::vector<Id> workspaces;     // creation order; the last is current
  int displayStacksCreated = 0;

  std::optional<std::string> front;
  bool locked = false;

  // What SpringBoard's own front display handler has seen.
  int frontDisplayRuns = 0;
  std::optional<std::string> lastFrontDisplayArgument;
};

SpringBoardModel& springBoardModel();

}  // namespace sim
