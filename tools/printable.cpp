#include "tools/printable.h"

#include <cstdint>
#include <cstdio>

namespace tools {
namespace {

// The code point of the UTF-8 sequence at the start of `text` and its
// length; length 0 when it is not a well-formed sequence.
std::size_t decode(std::string_view text, char32_t* codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    *codePoint = lead;
    return 1;
  }
  std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4                                    ? 4
                                                                                         : 0;
  if (length == 0 || text.size() < length) return 0;
  char32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i) & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kLeast[length] || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return 0;
  *codePoint = value;
  return length;
}

// True for what a terminal acts on or shows as nothing, or what reorders
// the text around it.
bool hidden(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x061C || (c >= 0x200B && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF ||
         (c >= 0xFFF9 && c <= 0xFFFB) || (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE ||
         (c >= 0xE0000 && c <= 0xE007F);
}

std::string hex(unsigned value, const char* format) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    char32_t c = 0;
    const std::size_t length = decode(text, &c);
    if (length == 0) {
      out += hex(static_cast<unsigned char>(text[0]), "\\x%02x");
      text.remove_prefix(1);
      continue;
    }
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '\r') out += "\\r";
    else if (c < 0x20 || c == 0x7F) out += hex(static_cast<unsigned>(c), "\\x%02x");
    else if (hidden(c)) out += hex(static_cast<unsigned>(c), "\\u{%x}");
    else out.append(text.substr(0, length));
    text.remove_prefix(length);
  }
  return out;
}

}  // namespace tools
