// The settings pane as a user sees it on the simulated device: the pane's
// property list, as the package lays it into the device root, drawn as text
// with each setting's current value.
#pragma once

#include <string>

#include "sim/plist/document.h"
#include "sim/plist/tree.h"
#include "tools/expectations.h"

namespace tools {

class Session;

// Where the package lays the pane on the device.
inline constexpr char kPanePath[] = "/Library/PreferenceLoader/Preferences/Lumivo2.plist";

// The pane `pane` (its root dictionary) as text: its entry in Settings, then
// each group's title, cells and footer, every line indented by two spaces.
// A cell with a key shows the value `settings` holds, or the pane's default
// marked "(default)" when it holds none; the application list shows the
// applications chosen in `settings`; a link to the event framework shows the
// action it binds. Text from either file is escaped (tools/printable.h).
// `iconPresent` tells whether the entry's icon is beside the pane.
std::string renderPane(plist::Node pane, const plist::Document& settings, bool iconPresent);

// Reads the pane from the device root (bounded, as settings files are read)
// and the settings file as the deliverables read it, and prints the pane.
// Fails when the pane is missing or does not read as a dictionary.
Failure showPane(Session& session);

}  // namespace tools
