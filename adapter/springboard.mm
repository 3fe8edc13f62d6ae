// host.h's SpringBoard operations. The classes belong to the host process
// and differ between iOS versions: each is looked up by name and each method
// is asked for before it is sent, so that a host without it yields none.
#import <Foundation/Foundation.h>

#include "adapter/include/SpringBoard.h"
#include "adapter/objc_bridge.h"
#include "host/host.h"

using adapter::answers;
using adapter::as;

namespace host {

Id awayControllerShared() {
  ::Class awayController = adapter::classNamed("SBAwayController");
  if (!answers(awayController, @selector(sharedAwayController))) return nullptr;
  return adapter::hostId([awayController sharedAwayController]);
}

bool awayControllerIsLocked(Id awayController) {
  SBAwayController* controller = as<SBAwayController>(awayController);
  return answers(controller, @selector(isLocked)) && [controller isLocked];
}

Id lockScreenManagerShared() {
  ::Class manager = adapter::classNamed("SBLockScreenManager");
  if (!answers(manager, @selector(sharedInstance))) return nullptr;
  return adapter::hostId([manager sharedInstance]);
}

bool lockScreenManagerIsUILocked(Id lockScreenManager) {
  SBLockScreenManager* manager = as<SBLockScreenManager>(lockScreenManager);
  return answers(manager, @selector(isUILocked)) && [manager isUILocked];
}

Id springBoardFrontMostApplication(Id springBoard) {
  SpringBoard* application = as<SpringBoard>(springBoard);
  if (!answers(application, @selector(_accessibilityFrontMostApplication))) return nullptr;
  return adapter::hostId([application _accessibilityFrontMostApplication]);
}

std::optional<std::string> applicationBundleIdentifier(Id application) {
  SBApplication* app = as<SBApplication>(application);
  if (!answers(app, @selector(bundleIdentifier))) return std::nullopt;
  return adapter::utf8([app bundleIdentifier]);
}

Id displayStackTopApplication(Id displayStack) {
  SBDisplayStack* stack = as<SBDisplayStack>(displayStack);
  if (!answers(stack, @selector(topApplication))) return nullptr;
  return adapter::hostId([stack topApplication]);
}

std::optional<std::string> applicationDisplayIdentifier(Id application) {
  SBApplication* app = as<SBApplication>(application);
  if (!answers(app, @selector(displayIdentifier))) return std::nullopt;
  return adapter::utf8([app displayIdentifier]);
}

Id workspaceBKSWorkspace(Id workspace) {
  SBWorkspace* sbWorkspace = as<SBWorkspace>(workspace);
  if (!answers(sbWorkspace, @selector(bksWorkspace))) return nullptr;
  return adapter::hostId([sbWorkspace bksWorkspace]);
}

std::optional<std::string> bksWorkspaceTopApplication(Id bksWorkspace) {
  BKSWorkspace* backing = as<BKSWorkspace>(bksWorkspace);
  if (!answers(backing, @selector(topApplication))) return std::nullopt;
  return adapter::utf8([backing topApplication]);
}

}  // namespace host
