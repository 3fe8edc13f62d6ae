// UIKit's screen, keyboard, application and alerts.
#import <UIKit/UIKit.h>

#include <Block.h>

#include <cstdarg>
#include <map>

#include "sim/frameworks/host_generation.h"
#include "sim/frameworks/platform.h"
#include "adapter/include/UIKitPrivate.h"

namespace {

bool gScreenPresent = true;
bool gKeyboardShown = false;
CGFloat gBrightness = 0.5;
UIApplication* gApplication = nil;
std::vector<std::string> gLinks;

// What each alert was created with, by alert.
struct AlertState {
  NSString* title;
  NSString* message;
  id delegate;
  NSMutableArray* buttons;
};
std::map<const void*, AlertState> gAlerts;
int gWindowsVisible = 0;
std::map<const void*, UIViewController*> gRootViewControllers;

NSMutableArray* alertsShown() {
  static NSMutableArray* alerts = [[NSMutableArray alloc] init];
  return alerts;
}

}  // namespace

@implementation UIResponder
@end

@implementation UIView
@end

@implementation UIKeyboard
+ (BOOL)isOnScreen {
  return gKeyboardShown;
}
@end

@implementation UIScreen
+ (UIScreen*)mainScreen {
  static UIScreen* screen = [[UIScreen alloc] init];
  return gScreenPresent ? screen : nil;
}
- (CGFloat)brightness {
  return gBrightness;
}
- (CGRect)bounds {
  return CGRect{{0, 0}, {320, 568}};
}
@end

const UIWindowLevel UIWindowLevelAlert = 2000;

@implementation UIViewController
- (void)presentViewController:(UIViewController*)controller animated:(BOOL)animated completion:(void (^)(void))completion {
  (void)animated;
  (void)completion;
  [alertsShown() addObject:controller];
}
@end

@implementation UIWindow
- (id)initWithFrame:(CGRect)frame {
  (void)frame;
  return [super init];
}
- (void)setWindowLevel:(UIWindowLevel)level {
  (void)level;
}
- (void)setRootViewController:(UIViewController*)root {
  [root retain];
  [gRootViewControllers[self] release];
  gRootViewControllers[self] = root;
}
- (UIViewController*)rootViewController {
  return gRootViewControllers[self];
}
- (void)makeKeyAndVisible {
  ++gWindowsVisible;
}
- (void)setHidden:(BOOL)hidden {
  if (hidden) --gWindowsVisible;
}
- (void)dealloc {
  [gRootViewControllers[self] release];
  gRootViewControllers.erase(self);
  [super dealloc];
}
@end

// UIAlertAction and UIAlertController are made from these on the releases
// that have them (iOS 8 and later).
@interface StandinAlertAction : NSObject {
 @public
  NSString* title_;
  void (^handler_)(UIAlertAction* action);
}
@end
@implementation StandinAlertAction
+ (id)actionWithTitle:(NSString*)title style:(UIAlertActionStyle)style handler:(void (^)(UIAlertAction*))handler {
  (void)style;
  StandinAlertAction* action = [[[self alloc] init] autorelease];
  action->title_ = [title copy];
  // The action keeps its own copy of the handler, as UIKit's does.
  action->handler_ = Block_copy(handler);
  return action;
}
- (void)dealloc {
  [title_ release];
  Block_release(handler_);
  [super dealloc];
}
@end

@interface StandinAlertController : UIViewController {
 @public
  NSString* title_;
  NSString* message_;
  NSMutableArray* actions_;
}
@end
@implementation StandinAlertController
+ (id)alertControllerWithTitle:(NSString*)title message:(NSString*)message preferredStyle:(UIAlertControllerStyle)style {
  (void)style;
  StandinAlertController* controller = [[[self alloc] init] autorelease];
  controller->title_ = [title copy];
  controller->message_ = [message copy];
  controller->actions_ = [[NSMutableArray alloc] init];
  return controller;
}
- (void)addAction:(id)action {
  [actions_ addObject:action];
}
- (NSArray*)actions {
  return actions_;
}
- (void)dealloc {
  [title_ release];
  [message_ release];
  [actions_ release];
  [super dealloc];
}
@end

namespace standin::generation {

// Made on the releases the offer table gives them; every other UIKit class
// here is there on every release, less the methods a release does not offer.
constexpr MadeClass kUIKitClasses[] = {
    {"UIAlertAction", "StandinAlertAction", "StandinAlertAction"},
    {"UIAlertController", "StandinAlertController", "StandinAlertController"},
};

std::span<const MadeClass> uikitClasses() { return kUIKitClasses; }

}  // namespace standin::generation

@implementation UIApplication
+ (UIApplication*)sharedApplication {
  return gApplication;
}
- (id)init {
  if ((self = [super init]) && !gApplication) gApplication = [self retain];
  return self;
}
- (BOOL)openURL:(NSURL*)url {
  gLinks.push_back([[url absoluteString] UTF8String]);
  return YES;
}
- (void)openURL:(NSURL*)url options:(NSDictionary*)options completionHandler:(id)completion {
  (void)options;
  (void)completion;
  [self openURL:url];
}
@end

@implementation UIAlertView
- (id)initWithTitle:(NSString*)title
              message:(NSString*)message
             delegate:(id)delegate
    cancelButtonTitle:(NSString*)cancelButtonTitle
    otherButtonTitles:(NSString*)otherButtonTitles, ... {
  if ((self = [super init])) {
    AlertState state{[title copy], [message copy], delegate, [[NSMutableArray alloc] init]};
    if (cancelButtonTitle) [state.buttons addObject:cancelButtonTitle];
    va_list more;
    va_start(more, otherButtonTitles);
    for (NSString* t = otherButtonTitles; t; t = va_arg(more, NSString*)) [state.buttons addObject:t];
    va_end(more);
    gAlerts[self] = state;
  }
  return self;
}
- (void)dealloc {
  AlertState& state = gAlerts[self];
  [state.title release];
  [state.message release];
  [state.buttons release];
  gAlerts.erase(self);
  [super dealloc];
}
- (NSInteger)addButtonWithTitle:(NSString*)title {
  [gAlerts[self].buttons addObject:title];
  return static_cast<NSInteger>([gAlerts[self].buttons count]) - 1;
}
- (void)show {
  [alertsShown() addObject:self];
}
- (id)delegate {
  return gAlerts[self].delegate;
}
- (void)setDelegate:(id)delegate {
  gAlerts[self].delegate = delegate;
}
@end

namespace standin {

void setMainScreenPresent(bool present) { gScreenPresent = present; }
void setScreenBrightness(CGFloat brightness) { gBrightness = brightness; }
void setKeyboardOnScreen(bool shown) { gKeyboardShown = shown; }

Alert controllerAlert(StandinAlertController* controller) {
  Alert alert{controller, true, controller->title_ ? [controller->title_ UTF8String] : "", std::nullopt, nil, {}};
  if (controller->message_) alert.message = [controller->message_ UTF8String];
  for (NSUInteger i = 0; i < [controller->actions_ count]; ++i)
    alert.buttons.push_back([static_cast<StandinAlertAction*>([controller->actions_ objectAtIndex:i])->title_ UTF8String]);
  return alert;
}

std::vector<Alert> alertsOnScreen() {
  std::vector<Alert> alerts;
  for (NSUInteger i = 0; i < [alertsShown() count]; ++i) {
    id shown = [alertsShown() objectAtIndex:i];
    if ([shown isKindOfClass:[StandinAlertController class]]) {
      alerts.push_back(controllerAlert(shown));
      continue;
    }
    UIAlertView* view = shown;
    const AlertState& state = gAlerts[view];
    Alert alert{view, false, state.title ? [state.title UTF8String] : "", std::nullopt, state.delegate, {}};
    if (state.message) alert.message = [state.message UTF8String];
    for (NSUInteger b = 0; b < [state.buttons count]; ++b)
      alert.buttons.push_back([[state.buttons objectAtIndex:b] UTF8String]);
    alerts.push_back(alert);
  }
  return alerts;
}

void tapAlertButton(std::size_t position, std::intptr_t index) {
  id shown = [[alertsShown() objectAtIndex:position] retain];
  [alertsShown() removeObjectAtIndex:position];
  if ([shown isKindOfClass:[StandinAlertController class]]) {
    // UIKit dismisses the controller, then calls the action's handler.
    StandinAlertAction* action = [static_cast<StandinAlertController*>(shown)->actions_ objectAtIndex:index];
    if (action->handler_) action->handler_(reinterpret_cast<UIAlertAction*>(action));
    [shown release];
    return;
  }
  UIAlertView* view = shown;
  id delegate = gAlerts[view].delegate;
  if ([delegate respondsToSelector:@selector(alertView:clickedButtonAtIndex:)])
    [delegate alertView:view clickedButtonAtIndex:index];
  [view release];
}

int windowsVisible() { return gWindowsVisible; }

const std::vector<std::string>& openedLinks() { return gLinks; }

}  // namespace standin
