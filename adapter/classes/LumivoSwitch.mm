#include "adapter/classes/LumivoSwitch.h"

#include <cstring>
#include <type_traits>

#include "adapter/alert_controller.h"
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
  // An alert still on screen outlives the data source: a late tap must not
  // reach it.
  adapter::forgetAlertDelegateObject(_alertDelegate);
  adapter::forgetAlertViewsOf(self);
  adapter::forgetAlertControllerDelegate(_alertDelegate);
  delete _source;
  [super dealloc];
}

- (FSSwitchState)stateForSwitchIdentifier:(NSString*)switchIdentifier {
  return static_cast<FSSwitchState>(_source->stateForSwitchIdentifier(adapter::utf8View(switchIdentifier)));
}

- (void)applyState:(FSSwitchState)newState forSwitchIdentifier:(NSString*)switchIdentifier {
  // The framework may pass a state beyond the three it names, outside what
  // the enum can hold under C++'s rules: the integer passed is taken as it
  // is, never loaded as the enum.
  std::underlying_type_t<FSSwitchState> state;
  std::memcpy(&state, &newState, sizeof state);
  _source->applyStateForSwitchIdentifier(state, adapter::utf8View(switchIdentifier));
}

- (void)applyAlternateActionForSwitchIdentifier:(NSString*)switchIdentifier {
  _source->applyAlternateActionForSwitchIdentifier(adapter::utf8View(switchIdentifier));
}

- (void)alertView:(UIAlertView*)alertView clickedButtonAtIndex:(NSInteger)buttonIndex {
  if (_alertDelegate)
    _alertDelegate->alertViewClickedButtonAtIndex(adapter::hostId(alertView), static_cast<std::intptr_t>(buttonIndex));
  adapter::alertViewFinished(alertView);
}

@end
