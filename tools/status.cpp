#include "tools/status.h"

#include "tools/expectations.h"
#include "tools/numbers.h"

namespace tools {

std::string formatStatus(const DeviceStatus& s) {
  std::string line = "brightness " + formatBrief(s.brightness);
  line += " | level " + (s.lastLevel ? formatSingle(*s.lastLevel) : std::string("never set"));
  line += " | " + (s.front ? "front " + *s.front : std::string("home screen"));
  line += s.locked ? " | locked" : " | unlocked";
  line += s.keyboard ? " | keyboard shown" : " | keyboard hidden";
  line += " | " + (s.switchState ? "switch " + switchStateName(*s.switchState) : std::string("no switch"));
  if (s.alertTitles.empty()) {
    line += " | no alerts";
  } else {
    line += " | alerts:";
    for (const auto& title : s.alertTitles) line += " \"" + title + "\"";
  }
  return line;
}

}  // namespace tools
