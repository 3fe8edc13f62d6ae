#include "tools/render.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

#include "tools/numbers.h"

namespace tools {

bool localeIsUtf8() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (!value || !*value) continue;
    std::string_view v = value;
    return v.find("UTF-8") != v.npos || v.find("utf8") != v.npos || v.find("UTF8") != v.npos ||
           v.find("utf-8") != v.npos;
  }
  return false;
}

std::string brightnessBar(double level, bool unicode, int width) {
  const double clamped = level < 0 ? 0 : level > 1 ? 1 : level;
  const int filled = static_cast<int>(std::lround(clamped * width));
  std::string bar = unicode ? "\u2595" : "[";
  for (int i = 0; i < width; ++i) bar += i < filled ? (unicode ? "\u2588" : "#") : (unicode ? "\u2591" : "-");
  bar += unicode ? "\u258f" : "]";
  if (level > 1) bar += ">";
  if (level < 0) bar = "<" + bar;
  return bar + " " + formatBrief(level);
}

}  // namespace tools
