// How the models write values into the journal's details.
#pragma once

#include <charconv>
#include <optional>
#include <string>

namespace sim {

inline std::string journalText(bool value) { return value ? "true" : "false"; }

// The shortest text that reads back as the same number: 0.55f is "0.55".
template <class Real>
std::string journalNumber(Real value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

inline std::string journalText(const std::optional<std::string>& value) { return value ? *value : "(none)"; }

}  // namespace sim
