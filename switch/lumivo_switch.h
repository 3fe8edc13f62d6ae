// LumivoSwitch: the toggle switch for the whole feature and its menu. It
// shows and changes "enabled" in the settings file; its alternate action
// offers force mode on or off and a link to the settings pane.
//
// The object holds nothing between calls: every call reads the settings file
// afresh and every change is a read-modify-write of the whole file followed
// by the change notification. The running extension picks the change up
// from there.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/host.h"

// The identifier the toggle framework knows the switch by: the bundle's
// CFBundleIdentifier (switch/Info.plist).
inline constexpr const char kLumivoSwitchIdentifier[] = "com.vantorel.lumivo.switch";

class LumivoSwitch : public host::SwitchDataSource, public host::AlertDelegate {
 public:
  // 1 when "enabled" reads true or is absent (also with no settings file),
  // 0 when it reads false. The identifier is not used.
  int stateForSwitchIdentifier(std::string_view switchIdentifier) override;
  // 0 or 1 sets "enabled" to false or true; -1 changes, writes and posts
  // nothing; any other state rewrites the file with its keys unchanged and
  // posts. A settings root that is not a dictionary is replaced by one.
  void applyStateForSwitchIdentifier(int newState, std::string_view switchIdentifier) override;
  // Shows the menu alert with this object as its delegate; the alert
  // machinery keeps the alert alive until a button is tapped.
  void applyAlternateActionForSwitchIdentifier(std::string_view switchIdentifier) override;
  // 1 and 2 set "forceMode" to true and false, write and post; 3 opens the
  // settings pane link and leaves the settings alone; 0 and every other
  // index do nothing.
  void alertViewClickedButtonAtIndex(host::Id alertView, std::intptr_t buttonIndex) override;
};
