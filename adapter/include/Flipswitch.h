// The toggle framework's (libflipswitch's) data-source protocol, as far as
// the switch implements it. The framework supplies a default for every
// operation a data source leaves out.
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
