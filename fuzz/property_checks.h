// The properties the fuzz targets check on any input, shared with the tests
// that replay the inputs the fuzzers found. Each returns an empty string when
// the property holds and a description of the fault otherwise.
#pragma once

#include <string>
#include <string_view>

#include "sim/plist/tree.h"

namespace fuzz_checks {

// Lookup and Document read the same keys with the same values.
std::string lookupAgreesWithDocument(std::string_view bytes);
// Whatever the reader accepts (any root type) the writer writes, and that
// reads back to equal values; only text XML cannot carry, a date with a
// fraction of a second, or XML past the size limit may be refused.
std::string treeRoundTrips(std::string_view bytes);
// The switch's read-modify-write: toggling "enabled" and writing keeps every
// other key with its value, and libplist, an independent reader, reads the
// written file with the same keys and the toggle.
std::string toggleKeepsOtherKeys(std::string_view bytes);

// Equal types and values, dictionaries compared by key and in order. Reals
// are compared bit for bit, so -0.0 and 0.0 differ and NaN equals NaN.
bool sameValue(plist::Node a, plist::Node b);

}  // namespace fuzz_checks
