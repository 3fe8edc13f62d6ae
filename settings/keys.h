// The settings contract shared by the extension and the switch: where the
// file lives, its keys and defaults, and the change notification.
#pragma once

namespace settings {

inline constexpr const char kSettingsPath[] = "/var/mobile/Library/Preferences/com.vantorel.lumivo.plist";
inline constexpr const char kChangedNotification[] = "com.vantorel.lumivo.preferencechanged";

inline constexpr const char kEnabledKey[] = "enabled";
inline constexpr const char kDisableSpringBoardKey[] = "disableSpringBoard";
inline constexpr const char kDisableKeyboardKey[] = "disablekeyboard";
inline constexpr const char kForceModeKey[] = "forceMode";
inline constexpr const char kIncrementKey[] = "Increment";
// Followed directly by an application identifier.
inline constexpr const char kAppDisablePrefix[] = "LVDisable-";

inline constexpr bool kEnabledDefault = true;
inline constexpr bool kDisableSpringBoardDefault = false;
inline constexpr bool kDisableKeyboardDefault = false;
inline constexpr bool kForceModeDefault = false;
inline constexpr bool kAppDisableDefault = false;
// 0.05 in single precision (bit pattern 0x3D4CCCCD).
inline constexpr float kIncrementDefault = 0.05f;

}  // namespace settings
