#include "tools/pref_value.h"

#include <cstdint>
#include <cstdlib>

#include "tools/numbers.h"

namespace tools {
namespace {

std::string quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
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

plist_t toPlist(const PrefValue& value) {
  switch (value.kind) {
    case PrefValue::Kind::Boolean: return plist_new_bool(value.boolean);
    // Property-list integers are stored as 64 bits and read back signed.
    case PrefValue::Kind::Integer: return plist_new_uint(static_cast<uint64_t>(value.integer));
    case PrefValue::Kind::Real: return plist_new_real(value.real);
    case PrefValue::Kind::String: return plist_new_string(value.string.c_str());
  }
  return nullptr;
}

bool sameValue(const PrefValue& value, plist_t node) {
  if (!node) return false;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return value.kind == PrefValue::Kind::Boolean && (b != 0) == value.boolean;
    }
    case PLIST_UINT: {
      uint64_t bits = 0;
      plist_get_uint_val(node, &bits);
      return value.kind == PrefValue::Kind::Integer && static_cast<long long>(bits) == value.integer;
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return value.kind == PrefValue::Kind::Real && d == value.real;
    }
    case PLIST_STRING: {
      char* s = nullptr;
      plist_get_string_val(node, &s);
      bool same = value.kind == PrefValue::Kind::String && s && value.string == s;
      std::free(s);
      return same;
    }
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

std::string describePlist(plist_t node) {
  if (!node) return "absent";
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return b ? "true (boolean)" : "false (boolean)";
    }
    case PLIST_UINT: {
      uint64_t bits = 0;
      plist_get_uint_val(node, &bits);
      return std::to_string(static_cast<long long>(bits)) + " (integer)";
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      PrefValue v;
      v.kind = PrefValue::Kind::Real;
      v.real = d;
      return describe(v) + " (real)";
    }
    case PLIST_STRING: {
      char* s = nullptr;
      plist_get_string_val(node, &s);
      std::string text = quote(s ? s : "") + " (string)";
      std::free(s);
      return text;
    }
    case PLIST_DATA: {
      uint64_t length = 0;
      plist_get_data_ptr(node, &length);
      return "<data, " + std::to_string(length) + " bytes>";
    }
    case PLIST_DATE: return "<date>";
    case PLIST_ARRAY: return "<array of " + std::to_string(plist_array_get_size(node)) + ">";
    case PLIST_DICT: return "<dictionary of " + std::to_string(plist_dict_get_size(node)) + ">";
    default: return "<other>";
  }
}

}  // namespace tools
