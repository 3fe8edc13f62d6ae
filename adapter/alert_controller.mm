// host.h's alert controller (iOS 8 and later), presented from a window of
// the switch's own: the switch runs inside SpringBoard, which has no view
// controller of ours to present from. Looked up by name, so that the switch
// still loads on iOS 7, which has no such class.
#import <UIKit/UIKit.h>

#include <cstdint>
#include <map>

#include "adapter/alert_controller.h"
#include "adapter/objc_bridge.h"
#include "host/host.h"

namespace {

// Each alert controller we made and have not seen tapped: whom it reports
// to, and the window it shows in once presented.
struct Alert {
  host::AlertDelegate* delegate;
  UIWindow* window;
};
std::map<host::Id, Alert>& alerts() {
  static auto* map = new std::map<host::Id, Alert>;
  return *map;
}

void actionTapped(host::Id alert, std::intptr_t index) {
  auto found = alerts().find(alert);
  if (found == alerts().end()) return;
  const Alert tapped = found->second;
  alerts().erase(found);
  // The alert has left the screen: its window goes, after the delegate has
  // been told, as an alert view's delegate is told before the view goes.
  if (tapped.delegate) tapped.delegate->alertViewClickedButtonAtIndex(alert, index);
  if (!tapped.window) return;
  [tapped.window setHidden:YES];
  // UIKit is still dismissing the controller from this window: both go once
  // the current run-loop turn is over. The controller's reference is the one
  // alertControllerPresent took.
  [tapped.window autorelease];
  [adapter::objc(alert) autorelease];
}

}  // namespace

namespace adapter {

void forgetAlertControllerDelegate(host::AlertDelegate* delegate) {
  for (auto& [alert, shown] : alerts())
    if (shown.delegate == delegate) shown.delegate = nullptr;
}

}  // namespace adapter

namespace host {

Id alertControllerCreate(const char* title, const char* message, AlertDelegate* delegate,
                         const char* cancelButtonTitle, std::initializer_list<const char*> otherButtonTitles) {
  ::Class controllerClass = adapter::classNamed("UIAlertController");
  ::Class actionClass = adapter::classNamed("UIAlertAction");
  if (!adapter::answers(controllerClass, @selector(alertControllerWithTitle:message:preferredStyle:)) ||
      !adapter::answers(actionClass, @selector(actionWithTitle:style:handler:)))
    return nullptr;
  UIAlertController* controller = [[controllerClass alertControllerWithTitle:adapter::string(title)
                                                                     message:adapter::string(message)
                                                              preferredStyle:UIAlertControllerStyleAlert] retain];
  const host::Id alert = adapter::hostId(controller);
  alerts()[alert] = Alert{delegate, nil};
  auto add = [&](const char* buttonTitle, UIAlertActionStyle style, std::intptr_t index) {
    // The handler names the controller by its host reference, which a block
    // does not retain (the controller holds its actions and they their
    // handlers). Copied first: a block would keep the lambda's reference to
    // `alert`, a variable gone by the time of the tap.
    const host::Id target = alert;
    [controller addAction:[actionClass actionWithTitle:adapter::string(buttonTitle ? buttonTitle : "")
                                                 style:style
                                               handler:^(UIAlertAction*) {
                                                 actionTapped(target, index);
                                               }]];
  };
  if (cancelButtonTitle) add(cancelButtonTitle, UIAlertActionStyleCancel, 0);
  std::intptr_t index = 1;
  for (const char* buttonTitle : otherButtonTitles) add(buttonTitle, UIAlertActionStyleDefault, index++);
  return alert;
}

void alertControllerPresent(Id alertController) {
  UIAlertController* controller = adapter::as<UIAlertController>(alertController);
  auto made = alerts().find(alertController);
  if (!controller || made == alerts().end() || made->second.window) return;
  UIScreen* screen = [UIScreen mainScreen];
  UIWindow* window = screen ? [[UIWindow alloc] initWithFrame:[screen bounds]] : [[UIWindow alloc] init];
  [window setWindowLevel:UIWindowLevelAlert + 1];
  UIViewController* root = [[UIViewController alloc] init];
  [window setRootViewController:root];
  [root release];
  [window makeKeyAndVisible];
  made->second.window = window;
  [controller retain];
  [root presentViewController:controller animated:YES completion:nil];
}

}  // namespace host
