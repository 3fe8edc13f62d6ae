// The text forms of integers, reals and dates in the XML encoding, read and
// written without regard to the process's locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sim/plist/value_events.h"

namespace plist {

// Seconds from 2001-01-01T00:00:00Z to the first and past the last second
// the XML form reads and writes: years -999,999,999 to 999,999,999 of the
// proleptic Gregorian calendar, far beyond the device's "distant past" (the
// year 0) and "distant future".
inline constexpr double kFirstDate = -31557015113904000.0;
inline constexpr double kPastLastDate = 31556888854473600.0;

// Decimal (or 0x-prefixed hexadecimal) integer with an optional sign and
// surrounding whitespace, from -2^63 to 2^64-1. None for anything else.
std::optional<Integer> parseInteger(std::string_view text);
// Decimal real with an optional sign and surrounding whitespace, or one of
// "nan", "inf", "infinity" in any case with an optional sign.
std::optional<double> parseReal(std::string_view text);
// Unsigned decimal digits with an optional fraction and exponent, nothing
// else; out of range it reads as infinity or zero, whichever is nearer.
std::optional<double> parseDecimal(std::string_view number);
// "YYYY-MM-DDTHH:MM:SSZ" with optional surrounding whitespace, as seconds
// since 2001-01-01T00:00:00Z; the year has one to nine digits and may be
// negative. None for an impossible date.
std::optional<double> parseDate(std::string_view text);
// Whether a date (seconds, possibly fractional) lies within the years the
// XML form writes: finite, with the whole second at or before it from
// kFirstDate up to kPastLastDate. The XML form carries such a date exactly
// only when it is a whole second.
bool isDateInRange(double seconds);

// Appends the shortest text that reads back to exactly `value`; non-finite
// values as "nan", "+infinity" or "-infinity".
void appendReal(std::string& out, double value);
void appendInteger(std::string& out, Integer value);
// Appends `seconds` (whole, within the writable years) in the XML date form,
// the year with at least four digits and, before year 0, a minus sign.
void appendDate(std::string& out, double seconds);

}  // namespace plist
