// SpringBoard's classes as each host generation has them. Every class is
// made at boot under its real name from a stand-in below, with only the
// methods that release offers (sim/offers.h), so that a host lacking a
// class or method lacks it here too.
#import <Foundation/Foundation.h>

#include <objc/runtime.h>

#include "sim/frameworks/host_generation.h"
#include "sim/frameworks/platform.h"
#include "adapter/include/SpringBoard.h"

// An application, named by the identifier it is made with.
@interface StandinApplicationBase : NSObject {
  NSString* identifier_;
}
- (id)initWithIdentifier:(NSString*)identifier;
- (NSString*)standinIdentifier;
@end

namespace {

bool gLocked = false;
id gFront = nil;
id gApplicationStack = nil;
id gBacking = nil;
int gFrontDisplayChanges = 0;
id gLastFrontDisplay = nil;

NSMutableArray* frontObjects() {
  static NSMutableArray* objects = [[NSMutableArray alloc] init];
  return objects;
}

id newInstanceOf(const char* className) { return [[objc_getClass(className) alloc] init]; }

}  // namespace

@implementation StandinApplicationBase
- (id)initWithIdentifier:(NSString*)identifier {
  if ((self = [super init])) identifier_ = [identifier copy];
  return self;
}
- (void)dealloc {
  [identifier_ release];
  [super dealloc];
}
- (NSString*)standinIdentifier {
  return identifier_;
}
@end

// The methods each class may have; the generation table picks which.
@interface StandinApplication : StandinApplicationBase
@end
@implementation StandinApplication
- (NSString*)displayIdentifier {
  return identifier_;
}
- (NSString*)bundleIdentifier {
  return identifier_;
}
@end

@interface StandinSpringBoard : UIApplication
@end
@implementation StandinSpringBoard
- (void)frontDisplayDidChange {
  ++gFrontDisplayChanges;
  gLastFrontDisplay = nil;
}
- (void)frontDisplayDidChange:(id)display {
  ++gFrontDisplayChanges;
  gLastFrontDisplay = display;
}
- (id)_accessibilityFrontMostApplication {
  return gFront;
}
- (BOOL)isLocked {
  return gLocked;
}
- (void)applicationOpenURL:(NSURL*)url {
  [self openURL:url];
}
@end

@interface StandinAwayController : NSObject
@end
@implementation StandinAwayController
+ (id)sharedAwayController {
  static id controller = [[self alloc] init];
  return controller;
}
- (BOOL)isLocked {
  return gLocked;
}
@end

@interface StandinLockScreenManager : NSObject
@end
@implementation StandinLockScreenManager
+ (id)sharedInstance {
  static id manager = [[self alloc] init];
  return manager;
}
- (BOOL)isUILocked {
  return gLocked;
}
@end

@interface StandinDisplayStack : NSObject
@end
@implementation StandinDisplayStack
- (id)topApplication {
  return self == gApplicationStack ? gFront : nil;
}
@end

@interface StandinBKSWorkspace : NSObject
@end
@implementation StandinBKSWorkspace
- (NSString*)topApplication {
  return [gFront standinIdentifier];
}
@end

@interface StandinWorkspace : NSObject
@end
@implementation StandinWorkspace
- (id)bksWorkspace {
  if (!gBacking) gBacking = newInstanceOf("BKSWorkspace");
  return gBacking;
}
@end

namespace standin::generation {

// Which release has which class and method is the offer table's; here only
// where each comes from.
constexpr MadeClass kSpringBoardClasses[] = {
    {"SpringBoard", "UIApplication", "StandinSpringBoard"},
    {"SBAwayController", "NSObject", "StandinAwayController"},
    {"SBLockScreenManager", "NSObject", "StandinLockScreenManager"},
    {"SBApplication", "StandinApplicationBase", "StandinApplication"},
    {"SBDisplayStack", "NSObject", "StandinDisplayStack"},
    {"SBWorkspace", "NSObject", "StandinWorkspace"},
    {"SBMainWorkspace", "NSObject", "NSObject"},
    {"BKSWorkspace", "NSObject", "StandinBKSWorkspace"},
};

std::span<const MadeClass> springBoardClasses() { return kSpringBoardClasses; }

}  // namespace standin::generation

namespace standin {

// UIApplication keeps the first application made as the shared one.
void startSpringBoard() { [newInstanceOf("SpringBoard") release]; }

void createFrontApplicationObjects() {
  // Whichever of them the release has.
  const bool stacks = objc_getClass("SBDisplayStack") != nil;
  const char* workspace = objc_getClass("SBMainWorkspace") ? "SBMainWorkspace" : "SBWorkspace";
  for (int i = 0; i < (stacks ? 4 : 1); ++i) {
    id object = newInstanceOf(stacks ? "SBDisplayStack" : workspace);
    [frontObjects() addObject:object];
    [object release];
    if (i == 1) gApplicationStack = object;
  }
}

void destroyFrontApplicationObjects() {
  gApplicationStack = nil;
  [frontObjects() removeAllObjects];
}

void showApplication(const std::optional<std::string>& identifier) {
  [gFront release];
  NSString* name = identifier ? [NSString stringWithUTF8String:identifier->c_str()] : nil;
  gFront = name ? [[objc_getClass("SBApplication") alloc] initWithIdentifier:name] : nil;
  id springBoard = [UIApplication sharedApplication];
  if ([springBoard respondsToSelector:@selector(frontDisplayDidChange:)])
    [springBoard frontDisplayDidChange:gFront];
  else
    [springBoard frontDisplayDidChange];
}

void setLocked(bool locked) { gLocked = locked; }

int frontDisplayChanges() { return gFrontDisplayChanges; }
id lastFrontDisplay() { return gLastFrontDisplay; }

}  // namespace standin
