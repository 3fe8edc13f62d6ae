#include "sim/plist/value.h"

namespace plist {

Value Value::boolean(bool value) {
  Value v(Type::Boolean);
  v.flag_ = value;
  return v;
}

Value Value::integer(plist::Integer value) {
  Value v(Type::Integer);
  v.bits_ = value.bits;
  v.flag_ = value.isUnsigned && value.bits >> 63 != 0;
  return v;
}

Value Value::integer(std::int64_t value) { return integer(plist::Integer{static_cast<std::uint64_t>(value), false}); }

Value Value::real(double value) {
  Value v(Type::Real);
  v.number_ = value;
  return v;
}

Value Value::string(std::string_view text) {
  Value v(Type::String);
  v.text_.assign(text);
  return v;
}

Value Value::date(double seconds) {
  Value v(Type::Date);
  v.number_ = seconds;
  return v;
}

Value Value::data(std::string_view bytes) {
  Value v(Type::Data);
  v.text_.assign(bytes);
  return v;
}

Value Value::uid(std::uint64_t value) {
  Value v(Type::Uid);
  v.bits_ = value;
  return v;
}

Value Value::array(std::vector<Value> items) {
  Value v(Type::Array);
  v.items_ = std::move(items);
  return v;
}

Value Value::dictionary(std::vector<std::pair<std::string, Value>> entries) {
  Value v(Type::Dictionary);
  v.items_.reserve(entries.size());
  v.keys_.reserve(entries.size());
  for (auto& [key, value] : entries) {
    v.keys_.push_back(std::move(key));
    v.items_.push_back(std::move(value));
  }
  return v;
}

}  // namespace plist
