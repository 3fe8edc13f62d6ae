#include "settings/readings.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "settings/plist_nodes.h"
#include "settings/scalar_text.h"

namespace settings {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view stringOf(plist_t value) {
  std::uint64_t length = 0;
  const char* text = plist_get_string_ptr(value, &length);
  return text ? std::string_view(text, length) : std::string_view();
}

// The node's number, or none when it is not a number.
std::optional<double> numberOf(plist_t value) {
  switch (plist_get_node_type(value)) {
    case PLIST_UINT:
      return plist::integerOf(value).toDouble();
    case PLIST_REAL: {
      double real = 0;
      plist_get_real_val(value, &real);
      return real;
    }
    default:
      return std::nullopt;
  }
}

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

std::optional<bool> booleanReading(plist_t value) {
  if (!value) return std::nullopt;
  switch (plist_get_node_type(value)) {
    case PLIST_BOOLEAN: {
      std::uint8_t b = 0;
      plist_get_bool_val(value, &b);
      return b != 0;
    }
    case PLIST_STRING:
      return stringBoolean(stringOf(value));
    default:
      if (auto number = numberOf(value)) return *number != 0;
      return std::nullopt;
  }
}

std::optional<float> singleReading(plist_t value) {
  if (!value) return std::nullopt;
  switch (plist_get_node_type(value)) {
    case PLIST_BOOLEAN: {
      std::uint8_t b = 0;
      plist_get_bool_val(value, &b);
      return b ? 1.0f : 0.0f;
    }
    case PLIST_STRING:
      return narrowed(leadingNumber(stringOf(value)));
    default:
      if (auto number = numberOf(value)) return narrowed(*number);
      return std::nullopt;
  }
}

}  // namespace settings
