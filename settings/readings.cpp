#include "settings/readings.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace settings {
namespace {

// The node's number as a double, or none when it is not a number. Integers
// are held as 64-bit patterns; negative ones read as signed.
std::optional<double> numberOf(plist_t value) {
  switch (plist_get_node_type(value)) {
    case PLIST_UINT: {
      uint64_t bits = 0;
      plist_get_uint_val(value, &bits);
      return static_cast<double>(static_cast<int64_t>(bits));
    }
    case PLIST_REAL: {
      double real = 0;
      plist_get_real_val(value, &real);
      return real;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<bool> booleanReading(plist_t value) {
  if (!value) return std::nullopt;
  if (plist_get_node_type(value) == PLIST_BOOLEAN) {
    uint8_t b = 0;
    plist_get_bool_val(value, &b);
    return b != 0;
  }
  if (auto number = numberOf(value)) return *number != 0;
  return std::nullopt;
}

std::optional<float> singleReading(plist_t value) {
  if (!value) return std::nullopt;
  auto number = numberOf(value);
  if (plist_get_node_type(value) == PLIST_BOOLEAN) {
    uint8_t b = 0;
    plist_get_bool_val(value, &b);
    number = b ? 1.0 : 0.0;
  }
  // Narrowing a value outside float's range is undefined and would hand the
  // backlight an infinite level.
  if (!number || !std::isfinite(*number) || std::fabs(*number) > std::numeric_limits<float>::max())
    return std::nullopt;
  return static_cast<float>(*number);
}

}  // namespace settings
