#include "adapter/classes/LumivoSwitch.h"

#include "adapter/objc_bridge.h"
#include "adapter/switch_classes.h"

@implementation LumivoSwitch

// Nil when no data source is registered under the class's name.
- (id)init {
  if ((self = [super init])) {
    host::SwitchDataSourceFactory make = adapter::switchFactoryNamed(class_getName([self class]));
    _source = make ? make() : nullptr;
    if (!_source) {
      [self release];
      return nil;
    }
    _alertDelegate = dynamic_cast<host::AlertDelegate*>(_source);
    adapter::setAlertDelegateObject(_alertDelegate, self);
  }
  return self;
}

- (void)dealloc {
  adapter::forgetAlertDelegateObject(_alertDelegate);
  delete _source;
  [super dealloc];
}

- (FSSwitchState)stateForSwitchIdentifier:(NSString*)switchIdentifier {
  return static_cast<FSSwitchState>(_source->stateForSwitchIdentifier(adapter::utf8View(switchIdentifier)));
}

- (void)applyState:(FSSwitchState)newState forSwitchIdentifier:(NSString*)switchIdentifier {
  _source->applyStateForSwitchIdentifier(newState, adapter::utf8View(switchIdentifier));
}

- (void)applyAlternateActionForSwitchIdentifier:(NSString*)switchIdentifier {
  _source->applyAlternateActionForSwitchIdentifier(adapter::utf8View(switchIdentifier));
}

- (void)alertView:(UIAlertView*)alertView clickedButtonAtIndex:(NSInteger)buttonIndex {
  if (_alertDelegate)
    _alertDelegate->alertViewClickedButtonAtIndex(adapter::hostId(alertView), static_cast<std::intptr_t>(buttonIndex));
}

@end
