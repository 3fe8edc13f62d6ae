// The event framework's listener for one of the extension's two actions.
// Exported by Lumivo2. It implements only activator:receiveEvent:, which it
// hands to the extension's listener; the framework's defaults (and the
// listener's Info.plist) supply everything else.
#pragma once

#import <Foundation/Foundation.h>

#include "adapter/frameworks/activator.h"
#include "host/host.h"

__attribute__((visibility("default")))
@interface BrightnessListener : NSObject <LAListener> {
  host::Listener* _listener;
}
// `listener` must outlive the object.
- (id)initWithListener:(host::Listener*)listener;
@end
