// The toggle framework's (libflipswitch's) data-source protocol, as far as
// the switch implements it, and its panel, as far as the switch tells it of
// state changes. The framework supplies a default for every operation a data
// source leaves out.
#pragma once

#import <Foundation/Foundation.h>

typedef enum {
  FSSwitchStateOff = 0,
  FSSwitchStateOn = 1,
  FSSwitchStateIndeterminate = -1
} FSSwitchState;

@protocol FSSwitchDataSource <NSObject>
@optional
- (FSSwitchState)stateForSwitchIdentifier:(NSString*)switchIdentifier;
- (void)applyState:(FSSwitchState)newState forSwitchIdentifier:(NSString*)switchIdentifier;
- (void)applyAlternateActionForSwitchIdentifier:(NSString*)switchIdentifier;
@end

@interface FSSwitchPanel : NSObject
+ (instancetype)sharedPanel;
@end

// Offered where the switches are loaded; a process may have the panel
// without it.
@interface FSSwitchPanel (SpringBoard)
- (void)stateDidChangeForSwitchIdentifier:(NSString*)switchIdentifier;
@end
