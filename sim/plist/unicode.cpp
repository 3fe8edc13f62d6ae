#include "sim/plist/unicode.h"

namespace plist::unicode {

bool appendUtf8(std::string& out, char32_t cp) {
  if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return false;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
  return true;
}

std::size_t sequenceLength(const unsigned char* p, const unsigned char* end) {
  const unsigned char c = *p;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) low = 0xA0;   // overlong
    if (c == 0xED) high = 0x9F;  // surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) low = 0x90;   // overlong
    if (c == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(end - p) < length) return 0;
  if (p[1] < low || p[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if ((p[i] & 0xC0) != 0x80) return 0;
  return length;
}

bool isValidUtf8(std::string_view text) {
  auto p = reinterpret_cast<const unsigned char*>(text.data());
  auto end = p + text.size();
  while (p < end) {
    if (*p < 0x80) {
      if (*p == 0) return false;
      ++p;
      continue;
    }
    std::size_t n = sequenceLength(p, end);
    if (n == 0) return false;
    p += n;
  }
  return true;
}

bool appendUtf16(std::string& out, const unsigned char* p, std::size_t units, bool bigEndian) {
  auto unitAt = [&](std::size_t i) -> char32_t {
    const unsigned char* u = p + 2 * i;
    return bigEndian ? static_cast<char32_t>(u[0] << 8 | u[1]) : static_cast<char32_t>(u[1] << 8 | u[0]);
  };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t cp = unitAt(i);
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (i + 1 == units) return false;
      char32_t low = unitAt(i + 1);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      ++i;
    }
    if (!appendUtf8(out, cp)) return false;
  }
  return true;
}

void appendLatin1(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size() + text.size() / 8);
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | byte >> 6);
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
}

}  // namespace plist::unicode
