// The event framework: listeners by name, and events with a handled flag
// that the user's gestures send to them.
#import <Foundation/Foundation.h>

#include "adapter/include/Activator.h"
#include "sim/activator.h"
#include "sim/frameworks/journal_call.h"
#include "sim/frameworks/platform.h"
#include "sim/journal_text.h"
#include "sim/uikit.h"

namespace {

bool gHandled = false;
bool gPresent = true;
std::vector<std::string> gNames;

NSMutableDictionary* listeners() {
  static NSMutableDictionary* byName = [[NSMutableDictionary alloc] init];
  return byName;
}

}  // namespace

@implementation LAEvent
- (void)setHandled:(BOOL)handled {
  sim::journal("-[LAEvent setHandled:]", sim::journalText(static_cast<bool>(handled)));
  gHandled = handled;
}
@end

@implementation LAActivator
+ (LAActivator*)sharedInstance {
  static LAActivator* activator = [[LAActivator alloc] init];
  sim::journal("+[LAActivator sharedInstance]", gPresent ? "" : "(nil)");
  return gPresent ? activator : nil;
}
- (void)registerListener:(id<LAListener>)listener forName:(NSString*)name {
  sim::journal("-[LAActivator registerListener:forName:]", standin::journalString(name));
  if (!name) return;
  if (![listeners() objectForKey:name]) gNames.push_back([name UTF8String]);
  [listeners() setObject:listener forKey:name];
}
@end

namespace standin {

void setActivatorPresent(bool present) { gPresent = present; }

EventOutcome sendEvent(const char* name) {
  EventOutcome outcome;
  id<LAListener> listener = listenerNamed(name);
  if (!listener) return outcome;
  outcome.delivered = true;
  // A listener without the method ignores the event, as the framework's
  // default does.
  if (![listener respondsToSelector:@selector(activator:receiveEvent:)]) return outcome;
  LAEvent* event = [[LAEvent alloc] init];
  gHandled = false;
  LAActivator* activator = [LAActivator sharedInstance];
  [listener activator:activator receiveEvent:event];
  [event release];
  outcome.handled = gHandled;
  return outcome;
}

std::vector<std::string> listenerNames() { return gNames; }

id listenerNamed(const char* name) { return [listeners() objectForKey:[NSString stringWithUTF8String:name]]; }

void forgetListeners() {
  [listeners() removeAllObjects];
  gNames.clear();
}

}  // namespace standin

namespace sim {

EventOutcome sendEvent(const std::string& name) {
  const std::size_t before = backlightLevels().size();
  standin::EventOutcome sent = standin::sendEvent(name.c_str());
  EventOutcome outcome{sent.delivered, sent.handled, std::nullopt};
  if (backlightLevels().size() > before) outcome.level = backlightLevels().back();
  return outcome;
}

std::vector<std::string> registeredListenerNames() { return gNames; }

}  // namespace sim
