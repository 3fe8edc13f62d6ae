// Drawing brightness as a bar, in Unicode blocks where the terminal's
// character set allows and in ASCII otherwise.
#pragma once

#include <string>

namespace tools {

// True when the locale's character set is UTF-8 (LANG, LC_ALL, LC_CTYPE).
bool localeIsUtf8();
// `level` (0...1) as a bar of `width` cells followed by the value to six
// significant digits, e.g. "[##########----------] 0.5". A level outside
// 0...1 fills the bar to its end and is marked with "<" or ">" beyond it.
std::string brightnessBar(double level, bool unicode, int width = 20);

}  // namespace tools
