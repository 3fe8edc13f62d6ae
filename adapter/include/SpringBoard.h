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
// iOS 7 and later: the application in front, nil on the home screen.
- (id)_accessibilityFrontMostApplication;
@end

@interface SBAwayController : NSObject
+ (id)sharedAwayController;
- (BOOL)isLocked;
@end

// iOS 7 and later: the lock screen.
@interface SBLockScreenManager : NSObject
+ (id)sharedInstance;
- (BOOL)isUILocked;
@end

@interface SBApplication : NSObject
// To iOS 7.
- (NSString*)displayIdentifier;
// iOS 7 and later.
- (NSString*)bundleIdentifier;
@end

// Before iOS 6: one of SpringBoard's display stacks.
@interface SBDisplayStack : NSObject
- (SBApplication*)topApplication;
@end

@interface BKSWorkspace : NSObject
// The identifier of the application in front, nil on the home screen.
- (NSString*)topApplication;
@end

// iOS 6 to 8: SpringBoard's workspace (SBMainWorkspace from iOS 9, which
// the extension hooks by name only). bksWorkspace: to iOS 7.
@interface SBWorkspace : NSObject
- (BKSWorkspace*)bksWorkspace;
@end
