#include "settings/readings.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "settings/scalar_text.h"
#include "settings/tree.h"

namespace settings {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool stringBoolean(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  while (i < text.size() && text[i] == '0') ++i;
  if (i == text.size()) return false;
  const char c = text[i];
  return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

double leadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t mantissa = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  std::size_t digits = i - mantissa;
  if (i < text.size() && text[i] == '.') {
    const std::size_t point = ++i;
    while (i < text.size() && isDigit(text[i])) ++i;
    digits += i - point;
  }
  if (digits == 0) return 0;
  // An exponent counts only when digits follow it.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t e = i + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    if (e < text.size() && isDigit(text[e])) {
      i = e;
      while (i < text.size() && isDigit(text[i])) ++i;
    }
  }
  const bool negative = text[start] == '-';
  double value = plist::parseDecimal(text.substr(mantissa, i - mantissa)).value_or(0.0);
  return negative ? -value : value;
}

std::optional<float> narrowed(double number) {
  if (!std::isfinite(number) || std::fabs(number) > std::numeric_limits<float>::max()) return std::nullopt;
  return static_cast<float>(number);
}

Readings booleanReadings(bool value) { return Readings{value, value ? 1.0f : 0.0f}; }

Readings integerReadings(plist::Integer value) { return Readings{!value.isZero(), narrowed(value.toDouble())}; }

Readings realReadings(double value) { return Readings{value != 0, narrowed(value)}; }

Readings stringReadings(std::string_view text) { return Readings{stringBoolean(text), narrowed(leadingNumber(text))}; }

Readings readingsOf(Node value) {
  if (!value) return {};
  switch (value.type()) {
    case Type::Boolean: return booleanReadings(value.boolean());
    case Type::Integer: return integerReadings(value.integer());
    case Type::Real: return realReadings(value.real());
    case Type::String: return stringReadings(value.text());
    default: return {};
  }
}

}  // namespace settings
