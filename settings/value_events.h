// What the property-list parsers report, shared by the look-up and the
// whole-dictionary readers so that both see the same values from one parse.
//
// A parser calls its sink, in document order, with:
//   beginDict() ... endDict(), beginArray() ... endArray(),
//   key(text) before each dictionary value,
//   string(text), boolean(b), integer(Integer), real(double),
//   date(seconds since 2001-01-01, whole), data(bytes), uid(value).
// Text is valid UTF-8 without U+0000. Views passed to the sink are valid only
// during the call unless they point into the parser's input.
// The parser has checked every limit of settings/limits.h before an event;
// when it returns false the sink's partial results must be discarded.
#pragma once

#include <cstdint>
#include <string_view>

namespace settings::plist {

// An integer as property lists hold it: 64 bits, read as signed unless the
// value is 2^63 or above.
struct Integer {
  std::uint64_t bits = 0;
  bool isUnsigned = false;

  double toDouble() const {
    return isUnsigned ? static_cast<double>(bits) : static_cast<double>(static_cast<std::int64_t>(bits));
  }
  bool isZero() const { return bits == 0; }
};

// A dictionary whose only key is this, with a non-negative integer below 2^32
// as its value, is a keyed-archive reference (UID) in the XML encoding.
inline constexpr std::string_view kUidKey = "CF$UID";
inline bool isUidValue(Integer value) { return !value.isUnsigned && value.bits <= 0xFFFFFFFFu; }

}  // namespace settings::plist
