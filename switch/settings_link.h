// Where the Settings application shows our pane.
#pragma once

namespace lumivo {

// The link to our settings pane: under "Tweaks" when the settings
// organiser's "ShowTweaks" reads true, at the top level otherwise (also when
// its file is absent, unreadable or not a dictionary). Reads the organiser's
// file afresh on every call and never writes it.
const char* settingsPaneLink();

}  // namespace lumivo
