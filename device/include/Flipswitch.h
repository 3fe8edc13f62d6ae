// The toggle framework's (libflipswitch's) data-source protocol, as far as
// the switch implements it. The framework supplies a default for every
// operation a data source leaves out.
#pragma once

#import <Foundation/Foundation.h>

#include <stdint.h>

// 0 off, 1 on, -1 indeterminate.
typedef int32_t FSSwitchState;

@protocol FSSwitchDataSource <NSObject>
@optional
- (FSSwitchState)stateForSwitchIdentifier:(NSString*)switchIdentifier;
- (void)applyState:(FSSwitchState)newState forSwitchIdentifier:(NSString*)switchIdentifier;
- (void)applyAlternateActionForSwitchIdentifier:(NSString*)switchIdentifier;
@end
