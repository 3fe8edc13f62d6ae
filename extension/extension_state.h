// The extension's process-wide state and the settings reload that fills it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

struct ExtensionState {
  // Read from the settings file by reloadSettings.
  bool enabled;
  bool disableSpringBoard;
  bool disableKeyboard;
  bool forceMode;
  float increment;
  // The per-application key of frontAppIdentifier; refreshed by reloads and
  // by front application updates.
  bool appDisabled;
  // disableSpringBoard was set and no application was in front at the last
  // front display change.
  bool springBoardBlocked;
  // The last application seen in front; none until the first one is seen.
  std::optional<std::string> frontAppIdentifier;
  // Live display stacks in creation order. Refers to them without keeping
  // them alive: each leaves the list when it is destroyed.
  std::vector<host::Id> displayStacks;
  // The most recently created workspace, one counted reference held.
  host::Id currentWorkspace;
  // The implementations the front application hooks replaced: `init` and
  // `dealloc` of the display stack or workspace class, and SpringBoard's
  // front display handler.
  struct {
    host::Imp init;
    host::Imp dealloc;
    host::Imp frontDisplayDidChange;
  } saved;
};

// The one instance of the process, zeroed when the library loads.
ExtensionState& extensionState();

// Reads the settings file afresh into the settings fields, and refreshes
// appDisabled when an application identifier is known.
void reloadSettings();
// The change notification's callback: ignores its arguments and reloads.
void settingsChanged(host::NotifyCenter* center, void* observer, const char* name, const void* object,
                     const void* userInfo);
// The settings key that disables the application `identifier`.
std::string appDisableKey(const std::string& identifier);
