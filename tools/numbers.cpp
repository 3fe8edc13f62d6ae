#include "tools/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tools {
namespace {

bool decimalCharacters(std::string_view text) {
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '-' || c == '.' || c == 'e' || c == 'E' || c == '+')) return false;
  return true;
}

template <class T>
std::string shortest(T value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::optional<long long> parseInteger(std::string_view text) {
  long long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> parseReal(std::string_view text) {
  // from_chars also takes "inf", "nan" and hexadecimal digits: only plain
  // decimal notation is a number here.
  if (text.empty() || !decimalCharacters(text)) return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool looksReal(std::string_view text) { return text.find_first_of(".eE") != std::string_view::npos; }

std::string formatReal(double value) { return shortest(value); }

std::string formatSingle(float value) { return shortest(value); }

std::string formatVersion(double version) {
  std::string text = formatReal(version);
  if (text.find('e') != std::string::npos) return text;
  const auto dot = text.find('.');
  if (dot == std::string::npos) return text + ".00";
  return text + std::string(text.size() - dot < 3 ? 3 - (text.size() - dot) : 0, '0');
}

std::string formatBrief(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

}  // namespace tools
