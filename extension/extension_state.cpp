#include "extension/extension_state.h"

#include "settings/keys.h"
#include "settings/store.h"

namespace {

// Zeroed at load, before any initialiser of the library runs.
constinit ExtensionState gState{};

}  // namespace

ExtensionState& extensionState() { return gState; }

void reloadSettings() {
  ExtensionState& s = gState;
  // One read for every key; the application's key only counts once an
  // application has been seen.
  const std::string appKey = s.frontAppIdentifier ? appDisableKey(*s.frontAppIdentifier) : std::string();
  const settings::Values file(settings::kSettingsPath,
                              {settings::kEnabledKey, settings::kDisableSpringBoardKey, settings::kDisableKeyboardKey,
                               settings::kForceModeKey, settings::kIncrementKey, appKey});
  s.enabled = file.boolean(settings::kEnabledKey).value_or(settings::kEnabledDefault);
  s.disableSpringBoard = file.boolean(settings::kDisableSpringBoardKey).value_or(settings::kDisableSpringBoardDefault);
  s.disableKeyboard = file.boolean(settings::kDisableKeyboardKey).value_or(settings::kDisableKeyboardDefault);
  s.forceMode = file.boolean(settings::kForceModeKey).value_or(settings::kForceModeDefault);
  s.increment = file.single(settings::kIncrementKey).value_or(settings::kIncrementDefault);
  if (s.frontAppIdentifier) s.appDisabled = file.boolean(appKey).value_or(settings::kAppDisableDefault);
}

void settingsChanged(host::NotifyCenter*, void*, const char*, const void*, const void*) { reloadSettings(); }

std::string appDisableKey(const std::string& identifier) { return settings::kAppDisablePrefix + identifier; }
