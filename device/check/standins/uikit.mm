// UIKit's screen, keyboard, application and alerts.
#import <UIKit/UIKit.h>

#include <cstdarg>
#include <map>

#include "device/check/standins/platform.h"
#include "device/include/UIKitPrivate.h"

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
@end

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
@end

namespace standin {

void setMainScreenPresent(bool present) { gScreenPresent = present; }
void setScreenBrightness(CGFloat brightness) { gBrightness = brightness; }
void setKeyboardOnScreen(bool shown) { gKeyboardShown = shown; }

std::vector<Alert> alertsOnScreen() {
  std::vector<Alert> alerts;
  for (NSUInteger i = 0; i < [alertsShown() count]; ++i) {
    UIAlertView* view = [alertsShown() objectAtIndex:i];
    const AlertState& state = gAlerts[view];
    Alert alert{view, state.title ? [state.title UTF8String] : "", std::nullopt, state.delegate, {}};
    if (state.message) alert.message = [state.message UTF8String];
    for (NSUInteger b = 0; b < [state.buttons count]; ++b)
      alert.buttons.push_back([[state.buttons objectAtIndex:b] UTF8String]);
    alerts.push_back(alert);
  }
  return alerts;
}

void tapAlertButton(std::size_t position, std::intptr_t index) {
  UIAlertView* view = [[alertsShown() objectAtIndex:position] retain];
  [alertsShown() removeObjectAtIndex:position];
  id delegate = gAlerts[view].delegate;
  if ([delegate respondsToSelector:@selector(alertView:clickedButtonAtIndex:)])
    [delegate alertView:view clickedButtonAtIndex:index];
  [view release];
}

const std::vector<std::string>& openedLinks() { return gLinks; }

}  // namespace standin
