#include "adapter/classes/BrightnessListener.h"

#include "adapter/objc_bridge.h"

@implementation BrightnessListener

- (id)initWithListener:(host::Listener*)listener {
  if ((self = [super init])) _listener = listener;
  return self;
}

- (void)activator:(LAActivator*)activator receiveEvent:(LAEvent*)event {
  _listener->activatorReceiveEvent(adapter::hostId(activator), adapter::hostId(event));
}

@end
