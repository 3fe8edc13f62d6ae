#include "sim/plist/preference_value.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace plist {

host::PreferenceValue preferenceValueOf(Node node) {
  using Kind = host::PreferenceValue::Type;
  if (!node) return {};
  switch (node.type()) {
    case Type::Boolean: return {Kind::kBoolean, node.boolean() ? 1.0 : 0.0, {}};
    case Type::Integer: return {Kind::kInteger, node.integer().toDouble(), {}};
    case Type::Real: return {Kind::kReal, node.real(), {}};
    case Type::String: return {Kind::kString, 0, std::string(node.text())};
    default: return {};
  }
}

std::optional<Value> valueOf(const host::PreferenceValue& value) {
  using Kind = host::PreferenceValue::Type;
  switch (value.type) {
    case Kind::kBoolean: return Value::boolean(value.number != 0);
    case Kind::kInteger:
      // Integers cross the seam as doubles; one that is not a whole number
      // within 64 bits names no integer.
      if (value.number != std::trunc(value.number) || !(std::fabs(value.number) < 0x1p63)) return std::nullopt;
      return Value::integer(static_cast<std::int64_t>(value.number));
    case Kind::kReal: return Value::real(value.number);
    case Kind::kString: return Value::string(value.text);
    case Kind::kOther: break;
  }
  return std::nullopt;
}

}  // namespace plist
