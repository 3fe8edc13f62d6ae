#include "sim/plist/scalar_text.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace plist {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
  std::int64_t year;
  unsigned month, day;
};

constexpr Civil civilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

constexpr std::int64_t kEpoch2001 = daysFromCivil(2001, 1, 1);
constexpr std::int64_t kMaxYear = 999999999;
static_assert((daysFromCivil(-kMaxYear, 1, 1) - kEpoch2001) * 86400 == static_cast<std::int64_t>(kFirstDate));
static_assert((daysFromCivil(kMaxYear + 1, 1, 1) - kEpoch2001) * 86400 == static_cast<std::int64_t>(kPastLastDate));

bool isLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned daysInMonth(std::int64_t y, unsigned m) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

// Reads exactly `count` decimal digits at `pos`.
bool digits(std::string_view text, std::size_t pos, std::size_t count, unsigned& value) {
  value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    char c = text[pos + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return true;
}

// For a decimal number out of double's range: true when it is too large,
// false when too small. Only its order of magnitude matters at that extreme.
bool overflows(std::string_view number) {
  std::int64_t magnitude = 0, exponent = 0;
  bool seenPoint = false, seenDigit = false;
  std::size_t i = 0;
  for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
    char c = number[i];
    if (c == '.') {
      seenPoint = true;
    } else if (!seenDigit && c == '0') {
      if (seenPoint) --magnitude;
    } else {
      seenDigit = true;
      if (!seenPoint) ++magnitude;
    }
  }
  if (i < number.size()) {
    bool negative = ++i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
    for (; i < number.size() && exponent < 100000; ++i) exponent = exponent * 10 + (number[i] - '0');
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent > 0;
}

// Digits with an optional point and an optional exponent, at least one digit
// before the exponent: the decimal form property lists use.
bool isDecimal(std::string_view s) {
  auto isDigit = [&](std::size_t i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; };
  std::size_t i = 0, mantissaDigits = 0;
  for (; isDigit(i); ++i) ++mantissaDigits;
  if (i < s.size() && s[i] == '.')
    for (++i; isDigit(i); ++i) ++mantissaDigits;
  if (mantissaDigits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (!isDigit(i)) return false;
    while (isDigit(i)) ++i;
  }
  return i == s.size();
}

// The process locale's radix character(s), "." in the C locale.
std::string localRadix() {
  const char* point = std::localeconv()->decimal_point;
  return point && *point ? point : ".";
}

std::string withRadix(std::string_view text, const std::string& from, const std::string& to) {
  std::string result(text);
  if (from == to) return result;
  if (auto at = result.find(from); at != std::string::npos) result.replace(at, from.size(), to);
  return result;
}

// The shortest "%g" form that reads back as exactly `value`, with a point
// whatever the locale; whole numbers of moderate size are written plainly.
std::string shortestDecimal(double value) {
  const std::string radix = localRadix();
  char buffer[64];
  if (value == std::floor(value) && std::fabs(value) < 1e15 && !(value == 0 && std::signbit(value))) {
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer;
  }
  std::string text;
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    text = withRadix(buffer, radix, ".");
    if (std::strtod(buffer, nullptr) == value) break;
  }
  return text;
}

void appendDigits(std::string& out, unsigned value, int width) {
  char buffer[8];
  for (int i = width - 1; i >= 0; --i) {
    buffer[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(buffer, static_cast<std::size_t>(width));
}

}  // namespace

std::optional<Integer> parseInteger(std::string_view text) {
  text = trimmed(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  // from_chars takes no sign of its own here: the sign was consumed above.
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  std::uint64_t magnitude = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) {
    if (magnitude > (std::uint64_t{1} << 63)) return std::nullopt;
    return Integer{~magnitude + 1, false};
  }
  return Integer{magnitude, magnitude >> 63 != 0};
}

std::optional<double> parseReal(std::string_view text) {
  text = trimmed(text);
  bool negative = false;
  std::string_view body = text;
  if (!body.empty() && (body.front() == '-' || body.front() == '+')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  if (equalsIgnoringCase(body, "nan")) return std::numeric_limits<double>::quiet_NaN();
  if (equalsIgnoringCase(body, "inf") || equalsIgnoringCase(body, "infinity"))
    return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  if (body.empty() || !((body.front() >= '0' && body.front() <= '9') || body.front() == '.')) return std::nullopt;
  auto value = parseDecimal(body);
  if (!value) return std::nullopt;
  return negative ? -*value : *value;
}

std::optional<double> parseDecimal(std::string_view number) {
  if (!isDecimal(number)) return std::nullopt;
  // strtod is correctly rounded everywhere; only its radix character follows
  // the process locale, so the point is put in the locale's own form.
  std::string text = withRadix(number, ".", localRadix());
  errno = 0;
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return std::nullopt;
  // Out of range: infinity or zero, whichever is nearest, as every other
  // reader yields; subnormal results are kept.
  if (errno == ERANGE && (std::isinf(value) || value == 0))
    value = overflows(number) ? std::numeric_limits<double>::infinity() : 0.0;
  return value;
}

std::optional<double> parseDate(std::string_view text) {
  text = trimmed(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  const std::size_t y = text.find('-');  // the year's digits
  if (y == 0 || y > 9 || text.size() != y + 16 || text[y + 3] != '-' || text[y + 6] != 'T' ||
      text[y + 9] != ':' || text[y + 12] != ':' || text[y + 15] != 'Z')
    return std::nullopt;
  unsigned digitsOfYear, month, day, hour, minute, second;
  if (!digits(text, 0, y, digitsOfYear) || !digits(text, y + 1, 2, month) || !digits(text, y + 4, 2, day) ||
      !digits(text, y + 7, 2, hour) || !digits(text, y + 10, 2, minute) || !digits(text, y + 13, 2, second))
    return std::nullopt;
  const std::int64_t year = negative ? -std::int64_t{digitsOfYear} : std::int64_t{digitsOfYear};
  if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 || minute > 59 ||
      second > 59)
    return std::nullopt;
  std::int64_t days = daysFromCivil(year, month, day) - kEpoch2001;
  return static_cast<double>(days * 86400 + hour * 3600 + minute * 60 + second);
}

bool isDateInRange(double seconds) {
  if (!std::isfinite(seconds)) return false;
  const double whole = std::floor(seconds);
  return whole >= kFirstDate && whole < kPastLastDate;
}

void appendReal(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "nan";
  } else if (std::isinf(value)) {
    out += value > 0 ? "+infinity" : "-infinity";
  } else {
    out += shortestDecimal(value);
  }
}

void appendInteger(std::string& out, Integer value) {
  char buffer[24];
  auto result = value.isUnsigned
                    ? std::to_chars(buffer, buffer + sizeof buffer, value.bits)
                    : std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int64_t>(value.bits));
  out.append(buffer, result.ptr);
}

void appendDate(std::string& out, double seconds) {
  auto total = static_cast<std::int64_t>(seconds);
  std::int64_t days = total / 86400, rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  Civil date = civilFromDays(days + kEpoch2001);
  if (date.year < 0) out += '-';
  char year[24];
  const char* end = std::to_chars(year, year + sizeof year, date.year < 0 ? -date.year : date.year).ptr;
  if (end - year < 4) out.append(static_cast<std::size_t>(4 - (end - year)), '0');
  out.append(year, static_cast<std::size_t>(end - year));
  out += '-';
  appendDigits(out, date.month, 2);
  out += '-';
  appendDigits(out, date.day, 2);
  out += 'T';
  appendDigits(out, static_cast<unsigned>(rest / 3600), 2);
  out += ':';
  appendDigits(out, static_cast<unsigned>(rest / 60 % 60), 2);
  out += ':';
  appendDigits(out, static_cast<unsigned>(rest % 60), 2);
  out += 'Z';
}

}  // namespace plist
