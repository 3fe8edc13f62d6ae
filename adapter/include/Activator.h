// The event framework (libactivator), as far as the extension uses it.
#pragma once

#import <Foundation/Foundation.h>

@class LAActivator;

@interface LAEvent : NSObject
// YES tells the framework the event was acted on; an unhandled event goes on
// to the host.
- (void)setHandled:(BOOL)handled;
@end

// Receives the events the user assigned to the name it is registered under.
// The framework supplies a default for every operation a listener leaves out.
@protocol LAListener <NSObject>
@optional
- (void)activator:(LAActivator*)activator receiveEvent:(LAEvent*)event;
@end

@interface LAActivator : NSObject
+ (LAActivator*)sharedInstance;
- (void)registerListener:(id<LAListener>)listener forName:(NSString*)name;
@end
