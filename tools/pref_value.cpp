#include "tools/pref_value.h"

#include <cstdint>
#include <cstdlib>

#include "tools/numbers.h"
#include "tools/printable.h"

namespace tools {
namespace {

// Quoted as a script writes it, shown as tools::printable shows text.
std::string quote(std::string_view text) {
  std::string out = "\"";
  for (char c : printable(text)) {
    if (c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::optional<PrefValue> parsePrefValue(std::string_view token, bool quoted) {
  PrefValue value;
  if (quoted) {
    value.kind = PrefValue::Kind::String;
    value.string = std::string(token);
    return value;
  }
  if (token == "true" || token == "false") {
    value.kind = PrefValue::Kind::Boolean;
    value.boolean = token == "true";
    return value;
  }
  if (auto integer = parseInteger(token)) {
    value.kind = PrefValue::Kind::Integer;
    value.integer = *integer;
    return value;
  }
  if (looksReal(token)) {
    if (auto real = parseReal(token)) {
      value.kind = PrefValue::Kind::Real;
      value.real = *real;
      return value;
    }
  }
  return std::nullopt;
}

plist::Value toPlist(const PrefValue& value) {
  switch (value.kind) {
    case PrefValue::Kind::Boolean: return plist::Value::boolean(value.boolean);
    case PrefValue::Kind::Integer: return plist::Value::integer(static_cast<std::int64_t>(value.integer));
    case PrefValue::Kind::Real: return plist::Value::real(value.real);
    case PrefValue::Kind::String: return plist::Value::string(value.string);
  }
  return plist::Value::boolean(false);
}

bool sameValue(const PrefValue& value, plist::Node node) {
  if (!node) return false;
  switch (node.type()) {
    case plist::Type::Boolean:
      return value.kind == PrefValue::Kind::Boolean && node.boolean() == value.boolean;
    case plist::Type::Integer: {
      const auto number = node.integer();
      return value.kind == PrefValue::Kind::Integer && !number.isUnsigned &&
             static_cast<long long>(number.bits) == value.integer;
    }
    case plist::Type::Real:
      return value.kind == PrefValue::Kind::Real && node.real() == value.real;
    case plist::Type::String:
      return value.kind == PrefValue::Kind::String && node.text() == value.string;
    default: return false;
  }
}

std::string describe(const PrefValue& value) {
  switch (value.kind) {
    case PrefValue::Kind::Boolean: return value.boolean ? "true" : "false";
    case PrefValue::Kind::Integer: return std::to_string(value.integer);
    case PrefValue::Kind::Real: {
      std::string text = formatReal(value.real);
      return looksReal(text) ? text : text + ".0";
    }
    case PrefValue::Kind::String: return quote(value.string);
  }
  return {};
}

std::string describePlist(plist::Node node) {
  if (!node) return "absent";
  switch (node.type()) {
    case plist::Type::Boolean: return node.boolean() ? "true (boolean)" : "false (boolean)";
    case plist::Type::Integer: {
      const auto number = node.integer();
      return (number.isUnsigned ? std::to_string(number.bits)
                                : std::to_string(static_cast<long long>(number.bits))) +
             " (integer)";
    }
    case plist::Type::Real: {
      PrefValue v;
      v.kind = PrefValue::Kind::Real;
      v.real = node.real();
      return describe(v) + " (real)";
    }
    case plist::Type::String: return quote(std::string(node.text())) + " (string)";
    case plist::Type::Data: return "<data, " + std::to_string(node.text().size()) + " bytes>";
    case plist::Type::Date: return "<date>";
    case plist::Type::Uid: return "<reference " + std::to_string(node.uid()) + ">";
    case plist::Type::Array: return "<array of " + std::to_string(node.size()) + ">";
    case plist::Type::Dictionary: return "<dictionary of " + std::to_string(node.size()) + ">";
  }
  return "<other>";
}

}  // namespace tools
