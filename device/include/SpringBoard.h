// The parts of SpringBoard's own classes that the extension uses. SpringBoard
// is the host process, so these are looked up by name at run time and never
// linked against; which of them a host has depends on its iOS version.
#pragma once

#import <UIKit/UIKit.h>

@interface SpringBoard : UIApplication
// Before iOS 7: the front display changed.
- (void)frontDisplayDidChange;
// iOS 7 and later: the front display changed to `display`.
- (void)frontDisplayDidChange:(id)display;
@end

@interface SBAwayController : NSObject
+ (id)sharedAwayController;
- (BOOL)isLocked;
@end

@interface SBApplication : NSObject
- (NSString*)displayIdentifier;
@end

// Before iOS 6: one of SpringBoard's display stacks.
@interface SBDisplayStack : NSObject
- (SBApplication*)topApplication;
@end

@interface BKSWorkspace : NSObject
// The identifier of the application in front, nil on the home screen.
- (NSString*)topApplication;
@end

// iOS 6 and later: SpringBoard's workspace.
@interface SBWorkspace : NSObject
- (BKSWorkspace*)bksWorkspace;
@end
