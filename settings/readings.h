// How a stored property-list value reads as a boolean or as a number. Shared
// by every reader of the settings so that the extension and the switch agree.
//
// A boolean is used as it is; a number is true when it is non-zero; a string
// reads as the device reads one (see stringBoolean and leadingNumber). Dates,
// data, arrays, dictionaries and keyed-archive references read as none. In a
// number context a boolean is 1 or 0, and a value that is not finite or lies
// outside the single-precision range reads as none: narrowing it is undefined
// and would hand the backlight an infinite or NaN level.
#pragma once

#include <optional>
#include <string_view>

#include "settings/value_events.h"

namespace settings {

class Node;

// A stored value's two readings.
struct Readings {
  std::optional<bool> boolean;
  std::optional<float> single;
};

// The readings of each kind of scalar the parsers report; every other value
// reads as none in both.
Readings booleanReadings(bool value);
Readings integerReadings(plist::Integer value);
Readings realReadings(double value);
Readings stringReadings(std::string_view text);
// The readings of a node of a tree; none for null.
Readings readingsOf(Node value);

// True when, after leading whitespace, an optional sign and zeros, `text`
// starts with Y, y, T, t or a non-zero digit.
bool stringBoolean(std::string_view text);
// The decimal number `text` starts with, after leading whitespace; 0 when it
// starts with none.
double leadingNumber(std::string_view text);
// `number` narrowed to single precision; none when it is not finite or lies
// outside the single-precision range.
std::optional<float> narrowed(double number);

}  // namespace settings
