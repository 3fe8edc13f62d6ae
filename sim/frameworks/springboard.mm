// SpringBoard's classes as each host generation has them. Every class is
// made at boot under its real name from a stand-in below, with only the
// methods that release offers (../shared/HOSTS.md), so that a host lacking
// a class or method lacks it here too.
#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>
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

namespace {

using namespace standin::generation;

// Releases between those modelled take the nearest evidence: iOS 8 is
// seen, 10 to 13 follow 9 and 14 where HOSTS.md infers them.
const Offer kOffers[] = {
    {"SpringBoard", 0, kAlways, "UIApplication"},
    {"SpringBoard", 0, kIOS7, nullptr, "frontDisplayDidChange", "StandinSpringBoard"},
    {"SpringBoard", kIOS7, kAlways, nullptr, "frontDisplayDidChange:", "StandinSpringBoard"},
    {"SpringBoard", kIOS7, kAlways, nullptr, "_accessibilityFrontMostApplication", "StandinSpringBoard"},
    {"SBAwayController", 0, kIOS7, "StandinAwayController"},
    {"SBLockScreenManager", kIOS7, kAlways, "StandinLockScreenManager"},
    {"SBApplication", 0, kAlways, "StandinApplicationBase"},
    {"SBApplication", 0, kIOS8, nullptr, "displayIdentifier", "StandinApplication"},
    {"SBApplication", kIOS7, kAlways, nullptr, "bundleIdentifier", "StandinApplication"},
    {"SBDisplayStack", 0, kIOS6, "StandinDisplayStack"},
    {"SBWorkspace", kIOS6, kIOS9, "NSObject"},
    {"SBWorkspace", kIOS6, kIOS8, nullptr, "bksWorkspace", "StandinWorkspace"},
    {"SBMainWorkspace", kIOS9, kAlways, "NSObject"},
    {"BKSWorkspace", kIOS6, kAlways, "NSObject"},
    {"BKSWorkspace", kIOS6, kIOS8, nullptr, "topApplication", "StandinBKSWorkspace"},
};

}  // namespace

namespace standin::generation {

void makeSpringBoardClasses(double version) { makeClasses(version, kOffers); }

}  // namespace standin::generation

namespace standin {

using namespace generation;

// UIApplication keeps the first application made as the shared one.
void startSpringBoard() { [newInstanceOf("SpringBoard") release]; }

void createFrontApplicationObjects() {
  const double version = kCFCoreFoundationVersionNumber;
  const bool workspace = !(version < kIOS6);
  for (int i = 0; i < (workspace ? 1 : 4); ++i) {
    id object = newInstanceOf(!workspace ? "SBDisplayStack" : version < kIOS9 ? "SBWorkspace" : "SBMainWorkspace");
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
  if (kCFCoreFoundationVersionNumber < kIOS7)
    [springBoard frontDisplayDidChange];
  else
    [springBoard frontDisplayDidChange:gFront];
}

void setLocked(bool locked) { gLocked = locked; }

int frontDisplayChanges() { return gFrontDisplayChanges; }
id lastFrontDisplay() { return gLastFrontDisplay; }

}  // namespace standin
