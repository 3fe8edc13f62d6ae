// Strict reading and shortest writing of the numbers that scripts and the
// device exchange.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tools {

// A decimal integer, optionally negative, with nothing else around it.
std::optional<long long> parseInteger(std::string_view text);
// A finite decimal real ("0.5", "-1", ".25", "1e-3"). Infinities, NaN,
// hexadecimal forms and trailing characters are rejected.
std::optional<double> parseReal(std::string_view text);
// True when `text` is written as a real: it has a dot or an exponent.
bool looksReal(std::string_view text);

// The shortest text that reads back as the same value ("0.55", "1e-07").
std::string formatReal(double value);
std::string formatSingle(float value);
// A CoreFoundation version as the releases are listed: at least two
// decimals ("900.50", "1000.00"), more when it has them ("1000.125").
std::string formatVersion(double version);
// At most six significant digits, for display ("0.55" for the double
// nearest 0.55f).
std::string formatBrief(double value);

}  // namespace tools
