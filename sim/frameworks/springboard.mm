// SpringBoard's classes as each host generation has them. Every class is
// made at boot under its real name from a stand-in below, with only the
// methods that release offers (sim/offers.h), so that a host lacking a
// class or method lacks it here too.
#import <Foundation/Foundation.h>

#include <objc/runtime.h>

#include "sim/frameworks/host_generation.h"
#include "sim/frameworks/journal_call.h"
#include "sim/journal_text.h"
#include "sim/springboard.h"
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
id gSpringBoard = nil;
id gWorkspace = nil;
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
  standin::journalMessage(self, _cmd, standin::journalString(identifier_));
  return identifier_;
}
- (NSString*)bundleIdentifier {
  standin::journalMessage(self, _cmd, standin::journalString(identifier_));
  return identifier_;
}
@end

@interface StandinSpringBoard : UIApplication
@end
@implementation StandinSpringBoard
- (void)frontDisplayDidChange {
  standin::journalMessage(self, _cmd);
  ++gFrontDisplayChanges;
  [gLastFrontDisplay release];
  gLastFrontDisplay = nil;
}
- (void)frontDisplayDidChange:(id)display {
  standin::journalMessage(self, _cmd, standin::journalString([display standinIdentifier]));
  ++gFrontDisplayChanges;
  [gLastFrontDisplay release];
  gLastFrontDisplay = [display retain];
}
- (id)_accessibilityFrontMostApplication {
  standin::journalMessage(self, _cmd, standin::journalString([gFront standinIdentifier]));
  return gFront;
}
- (BOOL)isLocked {
  standin::journalMessage(self, _cmd, sim::journalText(gLocked));
  return gLocked;
}
- (void)applicationOpenURL:(NSURL*)url {
  standin::journalMessage(self, _cmd, standin::journalString([url absoluteString]));
  standin::openLink(url);
}
@end

@interface StandinAwayController : NSObject
@end
@implementation StandinAwayController
+ (id)sharedAwayController {
  standin::journalMessage(self, _cmd);
  static id controller = [[self alloc] init];
  return controller;
}
- (BOOL)isLocked {
  standin::journalMessage(self, _cmd, sim::journalText(gLocked));
  return gLocked;
}
@end

@interface StandinLockScreenManager : NSObject
@end
@implementation StandinLockScreenManager
+ (id)sharedInstance {
  standin::journalMessage(self, _cmd);
  static id manager = [[self alloc] init];
  return manager;
}
- (BOOL)isUILocked {
  standin::journalMessage(self, _cmd, sim::journalText(gLocked));
  return gLocked;
}
@end

@interface StandinDisplayStack : NSObject
@end
@implementation StandinDisplayStack
- (id)topApplication {
  id top = self == gApplicationStack ? gFront : nil;
  standin::journalMessage(self, _cmd, standin::journalString([top standinIdentifier]));
  return top;
}
@end

@interface StandinBKSWorkspace : NSObject
@end
@implementation StandinBKSWorkspace
- (NSString*)topApplication {
  standin::journalMessage(self, _cmd, standin::journalString([gFront standinIdentifier]));
  return [gFront standinIdentifier];
}
@end

@interface StandinWorkspace : NSObject
@end
@implementation StandinWorkspace
- (id)bksWorkspace {
  standin::journalMessage(self, _cmd);
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
void startSpringBoard() {
  gSpringBoard = newInstanceOf("SpringBoard");
}

void createFrontApplicationObjects(int displayStacks, bool workspace) {
  // Whichever of them the release has.
  if (objc_getClass("SBDisplayStack")) {
    for (int i = 0; i < displayStacks; ++i) sim::createDisplayStack();
  } else if (workspace) {
    sim::createWorkspace();
  }
}

void destroyFrontApplicationObjects() {
  gApplicationStack = nil;
  [gWorkspace release];
  gWorkspace = nil;
  [frontObjects() removeAllObjects];
}

void showApplication(const std::optional<std::string>& identifier) {
  if (!gSpringBoard) return;
  [gFront release];
  NSString* name = identifier ? [NSString stringWithUTF8String:identifier->c_str()] : nil;
  gFront = name ? [[objc_getClass("SBApplication") alloc] initWithIdentifier:name] : nil;
  sim::frontDisplayChanged();
}

void setLocked(bool locked) { gLocked = locked; }


}  // namespace standin

namespace sim {

void launchApplication(const std::string& identifier) { standin::showApplication(identifier); }
void goHome() { standin::showApplication(std::nullopt); }

void frontDisplayChanged() {
  if (!gSpringBoard) return;
  // SpringBoard tells itself, in the form its release has.
  if ([gSpringBoard respondsToSelector:@selector(frontDisplayDidChange:)])
    [gSpringBoard frontDisplayDidChange:gFront];
  else if ([gSpringBoard respondsToSelector:@selector(frontDisplayDidChange)])
    [gSpringBoard frontDisplayDidChange];
}

std::optional<std::string> frontApplication() {
  if (!gFront) return std::nullopt;
  return std::string([[gFront standinIdentifier] UTF8String]);
}

void setLocked(bool locked) {
  if (!gSpringBoard) return;
  gLocked = locked;
  frontDisplayChanged();
}

bool locked() { return gLocked; }

int frontDisplayHandlerRuns() { return gFrontDisplayChanges; }

std::optional<std::string> frontDisplayHandlerArgument() {
  if (!gLastFrontDisplay) return std::nullopt;
  return std::string([[gLastFrontDisplay standinIdentifier] UTF8String]);
}

host::Id createDisplayStack() {
  Class cls = objc_getClass("SBDisplayStack");
  if (!cls || !gSpringBoard) return nullptr;
  id stack = [[cls alloc] init];
  if (!stack) return nullptr;
  [frontObjects() addObject:stack];
  [stack release];
  // The second stack holds the application in front.
  if ([frontObjects() count] == 2) gApplicationStack = stack;
  return reinterpret_cast<host::Id>(stack);
}

void destroyDisplayStack(host::Id stack) {
  id object = reinterpret_cast<id>(stack);
  if (object == gApplicationStack) gApplicationStack = nil;
  [frontObjects() removeObjectIdenticalTo:object];
}

std::vector<host::Id> displayStacks() {
  std::vector<host::Id> stacks;
  for (id object in frontObjects()) stacks.push_back(reinterpret_cast<host::Id>(object));
  return stacks;
}

host::Id createWorkspace() {
  if (!gSpringBoard) return nullptr;
  Class cls = objc_getClass("SBMainWorkspace");
  if (!cls) cls = objc_getClass("SBWorkspace");
  if (!cls) return nullptr;
  id workspace = [[cls alloc] init];
  gWorkspace = workspace;
  return reinterpret_cast<host::Id>(workspace);
}

void releaseWorkspace(host::Id workspace) {
  id object = reinterpret_cast<id>(workspace);
  if (object == gWorkspace) gWorkspace = nil;
  [object release];
}

void destroyWorkspace(host::Id workspace) {
  id object = reinterpret_cast<id>(workspace);
  if (object == gWorkspace) gWorkspace = nil;
  [object dealloc];
}

host::Id currentWorkspace() { return reinterpret_cast<host::Id>(gWorkspace); }

}  // namespace sim
