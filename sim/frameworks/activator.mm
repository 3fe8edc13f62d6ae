// The event framework: listeners by name, and events with a handled flag.
#import <Foundation/Foundation.h>

#include "sim/frameworks/platform.h"
#include "adapter/include/Activator.h"

namespace {

bool gHandled = false;
std::vector<std::string> gNames;

NSMutableDictionary* listeners() {
  static NSMutableDictionary* byName = [[NSMutableDictionary alloc] init];
  return byName;
}

}  // namespace

@implementation LAEvent
- (void)setHandled:(BOOL)handled {
  gHandled = handled;
}
@end

@implementation LAActivator
+ (LAActivator*)sharedInstance {
  static LAActivator* activator = [[LAActivator alloc] init];
  return activator;
}
- (void)registerListener:(id<LAListener>)listener forName:(NSString*)name {
  [listeners() setObject:listener forKey:name];
  gNames.push_back([name UTF8String]);
}
@end

namespace standin {

EventOutcome sendEvent(const char* name) {
  EventOutcome outcome;
  id<LAListener> listener = listenerNamed(name);
  if (![listener respondsToSelector:@selector(activator:receiveEvent:)]) return outcome;
  LAEvent* event = [[LAEvent alloc] init];
  gHandled = false;
  [listener activator:[LAActivator sharedInstance] receiveEvent:event];
  [event release];
  outcome.delivered = true;
  outcome.handled = gHandled;
  return outcome;
}

std::vector<std::string> listenerNames() { return gNames; }

id listenerNamed(const char* name) { return [listeners() objectForKey:[NSString stringWithUTF8String:name]]; }

}  // namespace standin
