#include "extension/extension_state.h"

#include "settings/keys.h"

namespace {

// Zeroed at load, before any initialiser of the library runs.
constinit ExtensionState gState{};

}  // namespace

ExtensionState& extensionState() { return gState; }

void reloadSettings() {
  const auto file = settings::Lookup::readFile(settings::kSettingsPath);
  ExtensionState& s = gState;
  s.enabled = file.boolean(settings::kEnabledKey).value_or(settings::kEnabledDefault);
  s.disableSpringBoard = file.boolean(settings::kDisableSpringBoardKey).value_or(settings::kDisableSpringBoardDefault);
  s.disableKeyboard = file.boolean(settings::kDisableKeyboardKey).value_or(settings::kDisableKeyboardDefault);
  s.forceMode = file.boolean(settings::kForceModeKey).value_or(settings::kForceModeDefault);
  s.increment = file.single(settings::kIncrementKey).value_or(settings::kIncrementDefault);
  if (s.frontAppIdentifier) s.appDisabled = appDisabledIn(file, *s.frontAppIdentifier);
}

void settingsChanged(host::NotifyCenter*, void*, const char*, const void*, const void*) { reloadSettings(); }

bool appDisabledIn(const settings::Lookup& file, const std::string& identifier) {
  return file.boolean(settings::kAppDisablePrefix + identifier).value_or(settings::kAppDisableDefault);
}
