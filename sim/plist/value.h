// A property-list value a caller builds to store in a document: a scalar,
// or an array or dictionary of such values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/plist/value_events.h"

namespace plist {

// The types a property list holds.
enum class Type : std::uint8_t { Dictionary, Array, String, Integer, Real, Boolean, Date, Data, Uid };

class Value {
 public:
  static Value boolean(bool value);
  static Value integer(plist::Integer value);
  // A signed integer.
  static Value integer(std::int64_t value);
  static Value real(double value);
  // Text, to be valid UTF-8 without U+0000 for the document to be written.
  static Value string(std::string_view text);
  // Seconds since 2001-01-01T00:00:00Z, kept exactly; the XML form writes
  // only whole seconds.
  static Value date(double seconds);
  static Value data(std::string_view bytes);
  // A keyed-archive reference, below 2^32 for the document to be written.
  static Value uid(std::uint64_t value);
  static Value array(std::vector<Value> items);
  // Entries in order; of duplicate keys the last value is kept, at the
  // place of the first.
  static Value dictionary(std::vector<std::pair<std::string, Value>> entries);

  Type type() const { return type_; }
  // The scalar: a boolean as 0 or 1, an integer's bits, a real's, date's or
  // uid's value.
  bool flag() const { return flag_; }
  std::uint64_t bits() const { return bits_; }
  double number() const { return number_; }
  const std::string& text() const { return text_; }
  const std::vector<Value>& items() const { return items_; }
  // A dictionary's keys, one per item.
  const std::vector<std::string>& keys() const { return keys_; }

 private:
  explicit Value(Type type) : type_(type) {}
  Type type_;
  bool flag_ = false;  // a boolean's value, an integer's unsignedness
  std::uint64_t bits_ = 0;
  double number_ = 0;
  std::string text_;
  std::vector<Value> items_;
  std::vector<std::string> keys_;
};

}  // namespace plist
