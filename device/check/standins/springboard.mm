// SpringBoard's classes: the application, the lock screen, display stacks
// (hosts below CoreFoundation 793.0) and the workspace (from then on).
#import <Foundation/Foundation.h>

#include <CoreFoundation/CoreFoundation.h>

#include "device/check/standins/platform.h"
#include "device/include/SpringBoard.h"

@interface StandinApplication : SBApplication {
  NSString* identifier_;
}
- (id)initWithIdentifier:(NSString*)identifier;
@end

namespace {

constexpr double kWorkspaceVersion = 793.0;
constexpr double kFrontDisplayArgumentVersion = 847.2;

bool gLocked = false;
StandinApplication* gFront = nil;
SBDisplayStack* gApplicationStack = nil;
BKSWorkspace* gBacking = nil;
int gFrontDisplayChanges = 0;
id gLastFrontDisplay = nil;

NSMutableArray* frontObjects() {
  static NSMutableArray* objects = [[NSMutableArray alloc] init];
  return objects;
}

}  // namespace

@implementation StandinApplication
- (id)initWithIdentifier:(NSString*)identifier {
  if ((self = [super init])) identifier_ = [identifier copy];
  return self;
}
- (void)dealloc {
  [identifier_ release];
  [super dealloc];
}
- (NSString*)displayIdentifier {
  return identifier_;
}
@end

@implementation SBApplication
- (NSString*)displayIdentifier {
  return nil;
}
@end

@implementation SpringBoard
- (void)frontDisplayDidChange {
  ++gFrontDisplayChanges;
  gLastFrontDisplay = nil;
}
- (void)frontDisplayDidChange:(id)display {
  ++gFrontDisplayChanges;
  gLastFrontDisplay = display;
}
@end

@implementation SBAwayController
+ (id)sharedAwayController {
  static SBAwayController* controller = [[SBAwayController alloc] init];
  return controller;
}
- (BOOL)isLocked {
  return gLocked;
}
@end

@implementation SBDisplayStack
- (SBApplication*)topApplication {
  return self == gApplicationStack ? gFront : nil;
}
@end

@implementation BKSWorkspace
- (NSString*)topApplication {
  return [gFront displayIdentifier];
}
@end

@implementation SBWorkspace
- (BKSWorkspace*)bksWorkspace {
  if (!gBacking) gBacking = [[BKSWorkspace alloc] init];
  return gBacking;
}
@end

namespace standin {

// UIApplication keeps the first application made as the shared one.
void startSpringBoard() { [[[SpringBoard alloc] init] release]; }

void createFrontApplicationObjects() {
  const bool workspace = !(kCFCoreFoundationVersionNumber < kWorkspaceVersion);
  for (int i = 0; i < (workspace ? 1 : 4); ++i) {
    id object = workspace ? [[SBWorkspace alloc] init] : [[SBDisplayStack alloc] init];
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
  gFront = name ? [[StandinApplication alloc] initWithIdentifier:name] : nil;
  SpringBoard* springBoard = (SpringBoard*)[UIApplication sharedApplication];
  if (kCFCoreFoundationVersionNumber < kFrontDisplayArgumentVersion)
    [springBoard frontDisplayDidChange];
  else
    [springBoard frontDisplayDidChange:gFront];
}

void setLocked(bool locked) { gLocked = locked; }

int frontDisplayChanges() { return gFrontDisplayChanges; }
id lastFrontDisplay() { return gLastFrontDisplay; }

}  // namespace standin
