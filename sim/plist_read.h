// Small readers of property-list files the simulated platform itself needs
// (filter lists, bundle descriptions).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sim {

// The string under `key` in the dictionary file at a host path.
std::optional<std::string> plistString(const std::string& hostFile, const char* key);
// The strings of the array at dictionary path `outer`.`inner`, or none when
// the file or either key is missing.
std::optional<std::vector<std::string>> plistStringArray(const std::string& hostFile, const char* outer,
                                                         const char* inner);

}  // namespace sim
