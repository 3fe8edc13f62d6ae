// One parsed line of a script: what the user or the system does, or what the
// device is expected to show.
#pragma once

#include <optional>
#include <string>

#include "tools/pref_value.h"

namespace tools {

enum class Verb {
  Brightness,       // number
  PressUp,
  PressDown,
  KeyboardShow,
  KeyboardHide,
  Launch,           // word: application identifier
  Home,
  Lock,
  Unlock,
  SwitchShow,
  SwitchApply,      // integer: the state asked for
  SwitchAlternate,
  AlertTap,         // integer: button index
  PrefSet,          // word: key; value
  PrefDelete,       // word: key
  PrefClear,
  PrefCopy,         // path: the file named, read when the command runs
  PrefShow,
  Put,              // word: device path; path: the file copied
  Post,
  Wait,             // integer: milliseconds
  AwaitPost,        // integer: milliseconds
  Status,
  Help,
  ExpectLevel,      // number
  ExpectUnhandled,
  ExpectBrightness, // number
  ExpectSwitch,     // integer
  ExpectPref,       // word: key; value (none: the key must be absent)
  ExpectPosts,      // integer
  ExpectOpened,     // word: link (empty: no link opened)
  ExpectAlerts,     // integer
};

struct Command {
  Verb verb = Verb::Status;
  int line = 0;          // 1-based line in the script, 0 when typed in the shell
  std::string text;      // the line as written, without its comment
  double number = 0;
  long long integer = 0;
  std::string word;
  std::string path;
  std::optional<PrefValue> value;
};

// True for the `expect ...` verbs.
bool isExpectation(Verb verb);

}  // namespace tools
