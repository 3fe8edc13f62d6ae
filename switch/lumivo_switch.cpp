#include "switch/lumivo_switch.h"

#include "host/releases.h"
#include "settings/keys.h"
#include "settings/store.h"
#include "switch/menu.h"
#include "switch/settings_link.h"

namespace {

// The toggle framework's "indeterminate" state, which asks for no change.
constexpr int kIndeterminateState = -1;

}  // namespace

int LumivoSwitch::stateForSwitchIdentifier(std::string_view) {
  const bool enabled = settings::Values(settings::kSettingsPath, {settings::kEnabledKey})
                           .boolean(settings::kEnabledKey)
                           .value_or(settings::kEnabledDefault);
  return enabled ? 1 : 0;
}

void LumivoSwitch::applyStateForSwitchIdentifier(int newState, std::string_view) {
  // "Indeterminate" asks for no change: nothing is written or announced.
  if (newState == kIndeterminateState) return;
  if (newState != 0 && newState != 1) {
    // Other states change no key, but the file is still rewritten and the
    // change announced.
    settings::changeSettingsAndPost({});
    return;
  }
  const host::PreferenceValue enabled = settings::booleanValue(newState == 1);
  settings::changeSettingsAndPost({{settings::kEnabledKey, &enabled}});
}

void LumivoSwitch::applyAlternateActionForSwitchIdentifier(std::string_view) {
  const auto others = {lumivo::kForceOnButton, lumivo::kForceOffButton, lumivo::kSettingsButton};
  if (!(host::coreFoundationVersion() < host::kAlertControllerVersion)) {
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
  if (buttonIndex == lumivo::kForceOnIndex || buttonIndex == lumivo::kForceOffIndex) {
    const host::PreferenceValue forceMode = settings::booleanValue(buttonIndex == lumivo::kForceOnIndex);
    settings::changeSettingsAndPost({{settings::kForceModeKey, &forceMode}});
  } else if (buttonIndex == lumivo::kSettingsIndex) {
    host::applicationOpenURL(host::applicationShared(), host::urlWithString(lumivo::settingsPaneLink()));
  }
}
