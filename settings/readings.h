// How a stored value reads as a boolean or as a number. Shared by every
// reader of the settings so that the extension and the switch agree.
//
// A boolean is used as it is; a number is true when it is non-zero; a string
// reads as the device reads one (see stringBoolean and leadingNumber). Every
// other type reads as none. In a number context a boolean is 1 or 0, and a
// value that is not finite or lies outside the single-precision range reads
// as none: narrowing it is undefined and would hand the backlight an
// infinite or NaN level.
#pragma once

#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "host/host.h"

namespace settings {

// A stored value's two readings.
struct Readings {
  std::optional<bool> boolean;
  std::optional<float> single;
};

// `number` narrowed to single precision; none when it is not finite or lies
// outside the single-precision range.
inline std::optional<float> narrowed(double number) {
  if (!std::isfinite(number) || std::fabs(number) > std::numeric_limits<float>::max()) return std::nullopt;
  return static_cast<float>(number);
}

Readings readingsOf(const host::PreferenceValue& value);

// True when, after leading whitespace, an optional sign and zeros, `text`
// starts with Y, y, T, t or a non-zero digit.
bool stringBoolean(std::string_view text);
// The decimal number `text` starts with, after leading whitespace; 0 when it
// starts with none.
double leadingNumber(std::string_view text);

}  // namespace settings
