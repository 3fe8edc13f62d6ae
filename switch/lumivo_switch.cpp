#include "switch/lumivo_switch.h"

#include "settings/keys.h"
#include "settings/lookup.h"
#include "settings/store.h"
#include "switch/menu.h"
#include "switch/settings_link.h"

namespace {

// The toggle framework's "indeterminate" state, which asks for no change.
constexpr int kIndeterminateState = -1;
// CoreFoundation of iOS 14.0: from here UIAlertView is not known to work
// inside SpringBoard, so the menu is a UIAlertController.
constexpr double kAlertControllerVersion = 1751.108;

}  // namespace

int LumivoSwitch::stateForSwitchIdentifier(std::string_view) {
  const bool enabled = settings::Lookup::readFile(settings::kSettingsPath)
                           .boolean(settings::kEnabledKey)
                           .value_or(settings::kEnabledDefault);
  return enabled ? 1 : 0;
}

void LumivoSwitch::applyStateForSwitchIdentifier(int newState, std::string_view) {
  settings::editSettingsAndPost([newState](settings::Document& document) {
    switch (newState) {
      case 0:
      case 1:
        document.setBoolean(settings::kEnabledKey, newState == 1);
        return settings::EditAction::kWrite;
      case kIndeterminateState:
        return settings::EditAction::kDiscard;
      default:
        // Other states change no key, but the file is still rewritten and
        // the change announced.
        return settings::EditAction::kWrite;
    }
  });
}

void LumivoSwitch::applyAlternateActionForSwitchIdentifier(std::string_view) {
  const auto others = {lumivo::kForceOnButton, lumivo::kForceOffButton, lumivo::kSettingsButton};
  if (!(host::coreFoundationVersion() < kAlertControllerVersion)) {
    if (host::Id controller =
            host::alertControllerCreate(lumivo::kAlertTitle, nullptr, this, lumivo::kDismissButton, others)) {
      host::alertControllerPresent(controller);
      host::release(controller);
      return;
    }
  }
  host::Id alert = host::alertCreate(lumivo::kAlertTitle, nullptr, this, lumivo::kDismissButton, others);
  host::alertShow(alert);
  host::release(alert);
}

void LumivoSwitch::alertViewClickedButtonAtIndex(host::Id, std::intptr_t buttonIndex) {
  // Every choice starts from the file as it is now, so it is read whatever
  // was chosen; only the force-mode buttons write.
  settings::editSettingsAndPost([buttonIndex](settings::Document& document) {
    if (buttonIndex != lumivo::kForceOnIndex && buttonIndex != lumivo::kForceOffIndex)
      return settings::EditAction::kDiscard;
    document.setBoolean(settings::kForceModeKey, buttonIndex == lumivo::kForceOnIndex);
    return settings::EditAction::kWrite;
  });
  if (buttonIndex == lumivo::kSettingsIndex)
    host::applicationOpenURL(host::applicationShared(), host::urlWithString(lumivo::settingsPaneLink()));
}
