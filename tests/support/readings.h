// The deliverables' readings of a value in a document or look-up, for tests
// that check what a read of the simulated platform hands over.
#pragma once

#include <optional>
#include <string_view>

#include "settings/readings.h"
#include "sim/plist/document.h"
#include "sim/plist/lookup.h"
#include "sim/plist/preference_value.h"

namespace testing_support {

inline settings::Readings readingsIn(const plist::Document& document, std::string_view key) {
  const plist::Node node = document.value(key);
  return node ? settings::readingsOf(plist::preferenceValueOf(node)) : settings::Readings{};
}
inline settings::Readings readingsIn(const plist::Lookup& lookup, std::string_view key) {
  const auto value = lookup.value(key);
  return value ? settings::readingsOf(*value) : settings::Readings{};
}
template <class File>
std::optional<bool> booleanIn(const File& file, std::string_view key) {
  return readingsIn(file, key).boolean;
}
template <class File>
std::optional<float> singleIn(const File& file, std::string_view key) {
  return readingsIn(file, key).single;
}

}  // namespace testing_support
