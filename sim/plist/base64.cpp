#include "sim/plist/base64.h"

#include <array>
#include <cstdint>

namespace plist {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> makeTable() {
  std::array<std::int8_t, 256> table{};
  for (auto& v : table) v = -1;
  for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
  return table;
}
constexpr auto kTable = makeTable();

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

bool decodeBase64(std::string_view text, std::string* out) {
  std::uint32_t group = 0;
  int count = 0, padding = 0;
  for (char c : text) {
    if (isSpace(c)) continue;
    if (c == '=') {
      // Padding completes a group of two or three characters.
      if (count < 2 || count + padding >= 4) return false;
      ++padding;
      continue;
    }
    if (padding) return false;
    int v = kTable[static_cast<unsigned char>(c)];
    if (v < 0) return false;
    group = group << 6 | static_cast<std::uint32_t>(v);
    if (++count == 4) {
      if (out) {
        out->push_back(static_cast<char>(group >> 16));
        out->push_back(static_cast<char>(group >> 8 & 0xFF));
        out->push_back(static_cast<char>(group & 0xFF));
      }
      group = 0;
      count = 0;
    }
  }
  if (count == 1) return false;
  if (padding && count + padding != 4) return false;
  if (out && count == 2) out->push_back(static_cast<char>(group >> 4));
  if (out && count == 3) {
    out->push_back(static_cast<char>(group >> 10));
    out->push_back(static_cast<char>(group >> 2 & 0xFF));
  }
  return true;
}

void appendBase64(std::string& out, std::string_view bytes, std::string_view linePrefix) {
  constexpr std::size_t kLine = 68;
  std::size_t column = 0;
  auto put = [&](char c) {
    if (column == kLine) {
      out += '\n';
      out += linePrefix;
      column = 0;
    }
    out += c;
    ++column;
  };
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    std::uint32_t g = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                      static_cast<unsigned char>(bytes[i + 2]);
    put(kAlphabet[g >> 18]);
    put(kAlphabet[g >> 12 & 63]);
    put(kAlphabet[g >> 6 & 63]);
    put(kAlphabet[g & 63]);
  }
  if (std::size_t rest = bytes.size() - i) {
    std::uint32_t g = static_cast<unsigned char>(bytes[i]) << 16;
    if (rest == 2) g |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    put(kAlphabet[g >> 18]);
    put(kAlphabet[g >> 12 & 63]);
    put(rest == 2 ? kAlphabet[g >> 6 & 63] : '=');
    put('=');
  }
}

}  // namespace plist
