// host.h's alert controller (iOS 8 and later), presented from a window of
// the switch's own: the switch runs inside SpringBoard, which has no view
// controller of ours to present from. Looked up by name, so that the switch
// still loads on iOS 7, which has no such class.
#import <UIKit/UIKit.h>

#include <cstdint>
#include <map>

#include "adapter/objc_bridge.h"
#include "host/host.h"

// The runtime's class of blocks that live for the whole process, which
// libSystem exports for every block the compiler lays out statically.
extern "C" void* _NSConcreteGlobalBlock[32];

namespace {

// The action handler's type as the SDK declares it: a block where the
// compiler has them (clang on the device), an address otherwise (GNU
// Objective-C++ in the Linux check).
#if defined(__clang__) && __has_extension(blocks)
typedef void (^ActionHandler)(UIAlertAction* action);
#else
typedef void* ActionHandler;
#endif

// Each action of an alert we made: whom it reports to and as which index.
struct ActionTarget {
  id controller;
  host::AlertDelegate* delegate;
  std::intptr_t index;
};
std::map<id, ActionTarget>& actionTargets() {
  static auto* map = new std::map<id, ActionTarget>;
  return *map;
}
// The window each presented controller shows in, kept with the controller
// until one of its actions is tapped.
std::map<id, UIWindow*>& windows() {
  static auto* map = new std::map<id, UIWindow*>;
  return *map;
}

void actionTapped(void*, UIAlertAction* action) {
  auto found = actionTargets().find(action);
  if (found == actionTargets().end()) return;
  const ActionTarget target = found->second;
  for (auto it = actionTargets().begin(); it != actionTargets().end();)
    it = it->second.controller == target.controller ? actionTargets().erase(it) : std::next(it);
  // The alert has left the screen: its window goes, after the delegate has
  // been told, as an alert view's delegate is told before the view goes.
  auto shown = windows().find(target.controller);
  UIWindow* window = shown == windows().end() ? nil : shown->second;
  if (window) windows().erase(shown);
  if (target.delegate) target.delegate->alertViewClickedButtonAtIndex(adapter::hostId(target.controller), target.index);
  if (!window) return;
  [window setHidden:YES];
  // UIKit is still dismissing the controller from this window: both go once
  // the current run-loop turn is over. The controller's reference is the one
  // alertControllerPresent took.
  [window autorelease];
  [target.controller autorelease];
}

// One handler for every action, laid out as the compiler lays out a block
// that captures nothing (the blocks ABI): the action it receives says which
// alert and index it stands for.
struct BlockDescriptor {
  unsigned long reserved;
  unsigned long size;
  const char* signature;
};
struct BlockLiteral {
  void* isa;
  int flags;
  int reserved;
  void (*invoke)(void*, UIAlertAction*);
  const BlockDescriptor* descriptor;
};
constexpr int kBlockIsGlobal = 1 << 28;
constexpr int kBlockHasSignature = 1 << 30;
const BlockDescriptor kHandlerDescriptor = {0, sizeof(BlockLiteral),
                                            sizeof(void*) == 8 ? "v16@?0@8" : "v8@?0@4"};
BlockLiteral gHandler = {_NSConcreteGlobalBlock, kBlockIsGlobal | kBlockHasSignature, 0, &actionTapped,
                         &kHandlerDescriptor};

}  // namespace

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
  ActionHandler handler = (ActionHandler)(void*)&gHandler;
  auto add = [&](const char* buttonTitle, UIAlertActionStyle style, std::intptr_t index) {
    UIAlertAction* action = [actionClass actionWithTitle:adapter::string(buttonTitle ? buttonTitle : "")
                                                   style:style
                                                 handler:handler];
    [controller addAction:action];
    actionTargets()[action] = ActionTarget{controller, delegate, index};
  };
  if (cancelButtonTitle) add(cancelButtonTitle, UIAlertActionStyleCancel, 0);
  std::intptr_t index = 1;
  for (const char* buttonTitle : otherButtonTitles) add(buttonTitle, UIAlertActionStyleDefault, index++);
  return adapter::hostId(controller);
}

void alertControllerPresent(Id alertController) {
  UIAlertController* controller = adapter::as<UIAlertController>(alertController);
  if (!controller || windows().count(controller)) return;
  UIScreen* screen = [UIScreen mainScreen];
  UIWindow* window = screen ? [[UIWindow alloc] initWithFrame:[screen bounds]] : [[UIWindow alloc] init];
  [window setWindowLevel:UIWindowLevelAlert + 1];
  UIViewController* root = [[UIViewController alloc] init];
  [window setRootViewController:root];
  [root release];
  [window makeKeyAndVisible];
  windows()[controller] = window;
  [controller retain];
  [root presentViewController:controller animated:YES completion:nullptr];
}

}  // namespace host
