// How a stored property-list value reads as a boolean or as a number. Shared
// by every reader of the settings so that the extension and the switch agree.
#pragma once

#include <optional>

#include <plist/plist.h>

namespace settings {

// A boolean is used as it is; a number is true when it is non-zero. Other
// types, and null, read as none.
std::optional<bool> booleanReading(plist_t value);
// A number narrowed to single precision. A value that is not finite, or lies
// outside the single-precision range, and values of other types read as none.
std::optional<float> singleReading(plist_t value);

}  // namespace settings
