// What the property-list parsers report, shared by the look-up and the
// whole-dictionary readers so that both see the same values from one parse.
//
// A parser calls its sink, in document order, with:
//   beginDict() ... endDict(), beginArray() ... endArray(),
//   key(text) before each dictionary value,
//   string(text), boolean(b), integer(Integer), real(double),
//   date(seconds since 2001-01-01, exactly as stored), data(bytes), uid(value).
// Text is valid UTF-8 without U+0000. Views passed to the sink are valid only
// during the call unless they point into the parser's input.
// The parser has checked every limit of sim/plist/limits.h before an event;
// when it returns false the sink's partial results must be discarded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plist {

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

// A keyed-archive reference takes, in every encoding, what its XML form
// takes when read: a dictionary level, its key and its integer.
inline constexpr int kUidLevels = 1;
inline constexpr std::size_t kUidObjects = 3;

// Follows one dictionary's entries, as reported, to tell whether it is a
// keyed-archive reference: keys that are all kUidKey (duplicates collapse
// into the last) and a last value that is a reference integer.
class UidReferenceCheck {
 public:
  void key(std::string_view key) {
    ++keys_;
    onlyUidKeys_ = onlyUidKeys_ && key == kUidKey;
  }
  // A value; `integer` is null unless it is an integer.
  void value(const Integer* integer) { lastIsUid_ = integer && isUidValue(*integer); }
  // Whether more entries can still change the answer from false.
  bool undecided() const { return onlyUidKeys_; }
  bool isReference() const { return keys_ > 0 && onlyUidKeys_ && lastIsUid_; }

 private:
  std::size_t keys_ = 0;
  bool onlyUidKeys_ = true;
  bool lastIsUid_ = false;
};

// Where and why a parser stopped. `what` is a static description that reads
// after the place, e.g. "out of range"; `position` is a byte offset into the
// parser's input.
struct Failure {
  const char* what = nullptr;
  std::size_t position = 0;
};

}  // namespace plist
