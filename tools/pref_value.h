// A typed settings value as a script writes it (`true`, `-3`, `0.1`,
// `"text"`), and how it compares with a value stored in a property list.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sim/plist/tree.h"
#include "sim/plist/value.h"

namespace tools {

struct PrefValue {
  enum class Kind { Boolean, Integer, Real, String };
  Kind kind = Kind::Boolean;
  bool boolean = false;
  long long integer = 0;
  double real = 0;
  std::string string;
};

// Reads a script token: `true`/`false`, an integer, a real (with a dot or an
// exponent), or any quoted token as a string. None for anything else.
std::optional<PrefValue> parsePrefValue(std::string_view token, bool quoted);
// The value as a property-list value to store.
plist::Value toPlist(const PrefValue& value);
// True when `node` has the value's type and exactly its value (an integer
// never equals a real or a boolean).
bool sameValue(const PrefValue& value, plist::Node node);
// The value as a script writes it.
std::string describe(const PrefValue& value);
// A stored value with its type, e.g. `0.1 (real)`, `"abc" (string)`,
// `<data, 4 bytes>`. "absent" for null.
std::string describePlist(plist::Node node);

}  // namespace tools
