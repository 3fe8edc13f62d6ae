// UTF-8 and UTF-16 checks and conversions for the property-list readers and
// writer. Nothing here accepts U+0000: the device's strings are C strings,
// and the XML encoding cannot hold it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace plist::unicode {

// Appends `cp` as UTF-8. False, with nothing appended, for U+0000, a
// surrogate or a value beyond U+10FFFF.
bool appendUtf8(std::string& out, char32_t cp);
// The length of the well-formed UTF-8 sequence of a non-ASCII character
// starting at `p`, or 0 when it is malformed (overlong, surrogate, beyond
// U+10FFFF, truncated by `end`).
std::size_t sequenceLength(const unsigned char* p, const unsigned char* end);
// True when `text` is well-formed UTF-8 without U+0000.
bool isValidUtf8(std::string_view text);
// Appends `units` UTF-16 code units read from `p` in the given byte order,
// converted to UTF-8. False on an unpaired surrogate or U+0000.
bool appendUtf16(std::string& out, const unsigned char* p, std::size_t units, bool bigEndian);
// Appends ISO-8859-1 text converted to UTF-8; every byte is a character.
void appendLatin1(std::string& out, std::string_view text);
// The character a byte from 0x80 up stands for in the NeXTSTEP character
// set, as old-style text's octal escapes use it; U+FFFD for the two bytes
// without one.
char32_t fromNextStep(unsigned char byte);

// True for the characters XML 1.0 can carry, as text or as a reference: tab,
// line feed, carriage return and everything from U+0020 up, except
// surrogates, U+FFFE and U+FFFF.
constexpr bool isXmlChar(char32_t cp) {
  return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) ||
         (cp >= 0x10000 && cp <= 0x10FFFF);
}
// True when the well-formed UTF-8 sequence of `length` bytes at `p` is
// U+FFFE or U+FFFF, the only such sequences XML 1.0 cannot carry.
inline bool isNonXmlSequence(const unsigned char* p, std::size_t length) {
  return length == 3 && p[0] == 0xEF && p[1] == 0xBF && p[2] >= 0xBE;
}
// True when `text` is well-formed UTF-8 of characters XML 1.0 can carry.
bool isXmlText(std::string_view text);

// True when the `size` bytes at `p` are ASCII without U+0000. Checks eight
// bytes at a time: binary files hold their keys as such strings.
inline bool isAsciiWithoutNul(const unsigned char* p, std::size_t size) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
  for (; size >= 8; p += 8, size -= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if ((word & kHigh) || ((word - kOnes) & ~word & kHigh)) return false;
  }
  for (; size > 0; ++p, --size)
    if (*p == 0 || *p >= 0x80) return false;
  return true;
}

}  // namespace plist::unicode
