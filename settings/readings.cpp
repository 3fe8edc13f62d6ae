#include "settings/readings.h"

#include <clocale>
#include <cstdlib>
#include <string>

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
  // strtod is correctly rounded; only its radix character follows the
  // process locale, so the point is put in the locale's own form.
  std::string number(text.substr(start, i - start));
  const char* radix = std::localeconv()->decimal_point;
  if (const auto point = number.find('.'); point != std::string::npos && radix && *radix)
    number.replace(point, 1, radix);
  return std::strtod(number.c_str(), nullptr);
}

Readings readingsOf(const host::PreferenceValue& value) {
  using Type = host::PreferenceValue::Type;
  switch (value.type) {
    case Type::kBoolean:
    case Type::kInteger:
    case Type::kReal: return Readings{value.number != 0, narrowed(value.number)};
    case Type::kString: return Readings{stringBoolean(value.text), narrowed(leadingNumber(value.text))};
    case Type::kOther: break;
  }
  return {};
}

}  // namespace settings
