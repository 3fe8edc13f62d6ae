// UIKit's screen, keyboard, application and alerts.
#import <UIKit/UIKit.h>

#include <Block.h>

#include <cmath>
#include <cstdarg>
#include <map>

#include "sim/frameworks/host_generation.h"
#include "sim/frameworks/journal_call.h"
#include "sim/frameworks/platform.h"
#include "sim/journal_text.h"
#include "sim/uikit.h"
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

// The public classes answer only to what their release offers.
@implementation UIResponder
+ (BOOL)respondsToSelector:(SEL)selector {
  return !standin::withheld(object_getClass(self), selector) && [super respondsToSelector:selector];
}
+ (BOOL)instancesRespondToSelector:(SEL)selector {
  return !standin::withheld(self, selector) && [super instancesRespondToSelector:selector];
}
- (BOOL)respondsToSelector:(SEL)selector {
  return !standin::withheld(object_getClass(self), selector) && [super respondsToSelector:selector];
}
@end

@implementation UIView
@end

@implementation UIKeyboard
+ (BOOL)isOnScreen {
  sim::journal("+[UIKeyboard isOnScreen]", sim::journalText(gKeyboardShown));
  return gKeyboardShown;
}
@end

@implementation UIScreen
+ (BOOL)respondsToSelector:(SEL)selector {
  return !standin::withheld(object_getClass(self), selector) && [super respondsToSelector:selector];
}
- (BOOL)respondsToSelector:(SEL)selector {
  return !standin::withheld(object_getClass(self), selector) && [super respondsToSelector:selector];
}
+ (UIScreen*)mainScreen {
  static UIScreen* screen = [[UIScreen alloc] init];
  sim::journal("+[UIScreen mainScreen]", gScreenPresent ? "" : "(nil)");
  return gScreenPresent ? screen : nil;
}
- (CGFloat)brightness {
  sim::journal("-[UIScreen brightness]", sim::journalNumber(gBrightness));
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
  sim::journal("+[UIAlertAction actionWithTitle:style:handler:]", standin::journalString(title));
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
  sim::journal("+[UIAlertController alertControllerWithTitle:message:preferredStyle:]",
               standin::journalString(title));
  StandinAlertController* controller = [[[self alloc] init] autorelease];
  controller->title_ = [title copy];
  controller->message_ = [message copy];
  controller->actions_ = [[NSMutableArray alloc] init];
  return controller;
}
- (void)addAction:(id)action {
  sim::journal("-[UIAlertController addAction:]", standin::journalString(static_cast<StandinAlertAction*>(action)->title_));
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
  sim::journal("+[UIApplication sharedApplication]", gApplication ? "" : "(nil)");
  return gApplication;
}
- (id)init {
  if ((self = [super init]) && !gApplication) gApplication = [self retain];
  return self;
}
- (BOOL)openURL:(NSURL*)url {
  sim::journal("-[UIApplication openURL:]", standin::journalString([url absoluteString]));
  standin::openLink(url);
  return YES;
}
- (void)openURL:(NSURL*)url options:(NSDictionary*)options completionHandler:(id)completion {
  (void)options;
  (void)completion;
  sim::journal("-[UIApplication openURL:options:completionHandler:]", standin::journalString([url absoluteString]));
  standin::openLink(url);
}
@end

@implementation UIAlertView
- (id)initWithTitle:(NSString*)title
              message:(NSString*)message
             delegate:(id)delegate
    cancelButtonTitle:(NSString*)cancelButtonTitle
    otherButtonTitles:(NSString*)otherButtonTitles, ... {
  sim::journal("-[UIAlertView " + std::string(sel_getName(_cmd)) + "]", standin::journalString(title));
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
  sim::journal("-[UIAlertView show]", standin::journalString(gAlerts[self].title));
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
double screenBrightness() { return gBrightness; }

void openLink(NSURL* url) {
  const char* text = [[url absoluteString] UTF8String];
  gLinks.push_back(text ? text : "");
}

void startApplication() {
  if (!gApplication) [[[UIApplication alloc] init] release];
}

void takeAlertsDown() {
  // Their delegates live in modules whose objects are going.
  while ([alertsShown() count]) [alertsShown() removeLastObject];
}

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
    NSArray* actions = static_cast<StandinAlertController*>(shown)->actions_;
    StandinAlertAction* action =
        index >= 0 && static_cast<NSUInteger>(index) < [actions count] ? [actions objectAtIndex:index] : nil;
    if (action && action->handler_) action->handler_(reinterpret_cast<UIAlertAction*>(action));
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

namespace sim {
namespace {

// What the panel can show of a level.
double panelLevel(double level) {
  if (std::isnan(level)) return 0;
  return std::fmin(1.0, std::fmax(0.0, level));
}

}  // namespace

void setScreenBrightness(double brightness) { gBrightness = static_cast<CGFloat>(panelLevel(brightness)); }
double screenBrightnessNow() { return gBrightness; }
void setKeyboardOnScreen(bool shown) { gKeyboardShown = shown; }
bool keyboardOnScreen() { return gKeyboardShown; }

std::vector<AlertInfo> alertsOnScreen() {
  std::vector<AlertInfo> alerts;
  for (const standin::Alert& alert : standin::alertsOnScreen())
    alerts.push_back(AlertInfo{reinterpret_cast<host::Id>(alert.alert), alert.title, alert.message, alert.buttons});
  return alerts;
}

bool tapAlertButton(host::Id alert, std::intptr_t index) {
  NSUInteger position = [alertsShown() indexOfObjectIdenticalTo:reinterpret_cast<id>(alert)];
  if (position == NSNotFound) return false;
  standin::tapAlertButton(position, index);
  return true;
}

const std::vector<std::string>& openedLinks() { return gLinks; }

}  // namespace sim
