// The switch's alternate-action menu: the alert's texts, its button indices
// and the settings links it may open.
#pragma once

#include <cstdint>

namespace lumivo {

inline constexpr const char kAlertTitle[] = "Lumivo";
inline constexpr const char kDismissButton[] = "Dismiss";
inline constexpr const char kForceOnButton[] = "Force mode ON";
inline constexpr const char kForceOffButton[] = "Force mode OFF";
inline constexpr const char kSettingsButton[] = "Settings";

// Indices the alert reports: the cancel button is 0, the others follow in
// the order they are given.
inline constexpr std::intptr_t kDismissIndex = 0;
inline constexpr std::intptr_t kForceOnIndex = 1;
inline constexpr std::intptr_t kForceOffIndex = 2;
inline constexpr std::intptr_t kSettingsIndex = 3;

// The settings organiser's preferences; when its "ShowTweaks" is true our
// pane sits under the "Tweaks" group.
inline constexpr const char kOrganiserPath[] =
    "/var/mobile/Library/Preferences/net.dorwick.preferenceorganizer2.plist";
inline constexpr const char kShowTweaksKey[] = "ShowTweaks";
inline constexpr const char kPaneLink[] = "prefs:root=Lumivo2";
inline constexpr const char kTweaksPaneLink[] = "prefs:root=Tweaks&path=Lumivo2";

}  // namespace lumivo
