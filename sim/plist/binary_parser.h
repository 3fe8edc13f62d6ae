// The binary encoding of property lists ("bplist00"), parsed into value
// events (sim/plist/value_events.h). Every offset, size and reference is
// checked against the file before it is used; a reference shared by several
// containers is expanded, and counted, every time; a reference to an
// enclosing container (a cycle) is rejected. A date keeps its exact value,
// fraction and all; one no encoding can carry (not finite, or beyond the
// years of sim/plist/scalar_text.h) reads as absent, its key with it, so
// that one value does not cost the whole file.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "sim/plist/limits.h"
#include "sim/plist/scalar_text.h"
#include "sim/plist/unicode.h"
#include "sim/plist/value_events.h"

namespace plist {

template <class Sink>
class BinaryParser {
 public:
  // `in` must outlive the parser; the sink receives views into it.
  BinaryParser(std::string_view in, Sink& sink)
      : b_(reinterpret_cast<const unsigned char*>(in.data())), size_(in.size()), sink_(sink) {}

  // Parses the object graph from the top object; false when the file is
  // malformed or exceeds a limit.
  bool parse() {
    constexpr std::uint64_t kTrailer = 32;
    if (size_ < 8 + 2 + kTrailer) return fail("too short for a binary property list", 0);
    if (std::memcmp(b_, "bplist00", 8) != 0) return fail("unknown binary version", 0);
    const std::uint64_t at = size_ - kTrailer;
    const unsigned char* trailer = b_ + size_ - kTrailer;
    offsetSize_ = trailer[6];
    refSize_ = trailer[7];
    count_ = bigEndian(trailer + 8, 8);
    const std::uint64_t top = bigEndian(trailer + 16, 8);
    table_ = bigEndian(trailer + 24, 8);
    if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8)
      return fail("trailer has invalid sizes", at);
    if (count_ == 0 || top >= count_) return fail("trailer's top object out of range", at);
    // Objects lie between the header and the offset table.
    if (table_ < 9 || table_ > size_ - kTrailer) return fail("trailer's offset table out of range", at);
    if (count_ > (size_ - kTrailer - table_) / offsetSize_) return fail("trailer's object count out of range", at);
    // Every entry of the table, used or not, points into the object area,
    // as the device's reader requires.
    for (std::uint64_t entry = table_; entry < table_ + count_ * offsetSize_; entry += offsetSize_)
      if (bigEndian(b_ + entry, offsetSize_) >= table_) return fail("offset-table entry out of range", entry);
    return walk(top);
  }

  // Why parse() returned false; the position is the offset of the object
  // (or trailer) being read.
  const Failure& failure() const { return failure_; }

 private:
  struct Frame {
    std::uint64_t ref;    // the container's own object
    std::uint64_t refs;   // file offset of its references
    std::uint64_t count;  // entries
    std::uint64_t index;  // next entry
    bool dict;
  };

  static std::uint64_t bigEndian(const unsigned char* p, unsigned size) {
    switch (size) {
      case 1:
        return p[0];
      case 2:
        return static_cast<std::uint64_t>(p[0]) << 8 | p[1];
      default: {
        std::uint64_t value = 0;
        for (unsigned i = 0; i < size; ++i) value = value << 8 | p[i];
        return value;
      }
    }
  }

  // True when `bytes` bytes from `start` lie inside the object area.
  bool fits(std::uint64_t start, std::uint64_t bytes) const { return start <= table_ && bytes <= table_ - start; }

  // Records the first fault, at the object being read.
  static constexpr std::uint64_t kUnplaced = ~std::uint64_t{0};

  // Records the first fault; one without a position is placed at the object
  // being read by failedAt. Out of line: the look-up's loop stays small.
  [[gnu::cold, gnu::noinline]] bool fail(const char* what, std::uint64_t position = kUnplaced) {
    if (!failure_.what) failure_ = Failure{what, static_cast<std::size_t>(position)};
    return false;
  }

  // Places a fault met while reading object `ref` at its offset.
  [[gnu::cold, gnu::noinline]] bool failedAt(std::uint64_t ref) {
    if (!failure_.what) failure_ = Failure{"is malformed", static_cast<std::size_t>(kUnplaced)};
    if (failure_.position == static_cast<std::size_t>(kUnplaced))
      failure_.position =
          static_cast<std::size_t>(ref < count_ ? bigEndian(b_ + table_ + ref * offsetSize_, offsetSize_) : table_);
    return false;
  }

  bool offsetOf(std::uint64_t ref, std::uint64_t& offset) {
    if (ref >= count_) return fail("reference out of range");
    offset = bigEndian(b_ + table_ + ref * offsetSize_, offsetSize_);
    if (offset < 8 || offset >= table_) return fail("offset-table entry out of range", table_ + ref * offsetSize_);
    return true;
  }

  bool refAt(std::uint64_t position, std::uint64_t& ref) {
    ref = bigEndian(b_ + position, refSize_);
    return ref < count_ || fail("holds a reference out of range", position);
  }

  // The length of the object at `offset`: in the marker's low nibble, or in
  // an integer object after it. `start` receives where its contents begin.
  bool length(std::uint64_t offset, std::uint64_t& length, std::uint64_t& start) const {
    const unsigned low = b_[offset] & 0x0F;
    if (low != 0x0F) {
      length = low;
      start = offset + 1;
      return true;
    }
    if (!fits(offset + 1, 1)) return false;
    const unsigned marker = b_[offset + 1];
    if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3) return false;
    const unsigned size = 1u << (marker & 0x0F);
    if (!fits(offset + 2, size)) return false;
    length = bigEndian(b_ + offset + 2, size);
    if (length >> 63) return false;
    start = offset + 2 + size;
    return true;
  }

  bool count(std::size_t objects = 1) {
    objects_ += objects;
    return objects_ <= kMaxObjects || fail("goes past the limit of objects");
  }

  // Counts `bytes` of text or data against kMaxTextBytes.
  bool spend(std::uint64_t bytes) {
    if (bytes > kMaxTextBytes - textBytes_) return fail("goes past the limit of text");
    textBytes_ += bytes;
    return true;
  }

  // The text of a string object (ASCII or UTF-16), or false.
  bool text(std::uint64_t offset, std::string_view& out) {
    std::uint64_t units, start;
    const unsigned kind = b_[offset] >> 4;
    if ((kind != 0x5 && kind != 0x6) || !length(offset, units, start)) return false;
    if (!spend(units)) return false;
    if (kind == 0x5) {
      if (!fits(start, units)) return false;
      if (!unicode::isAsciiWithoutNul(b_ + start, units)) return false;
      out = std::string_view(reinterpret_cast<const char*>(b_ + start), units);
      return true;
    }
    if (units > (table_ - start) / 2 || !fits(start, units * 2)) return false;
    text_.clear();
    if (!unicode::appendUtf16(text_, b_ + start, units, true)) return false;
    out = text_;
    return true;
  }

  // Reads the key `ref`, and reports it when `report`.
  bool key(std::uint64_t ref, bool report = true) {
    std::uint64_t offset = 0;
    std::string_view out;
    if (!count() || !offsetOf(ref, offset)) return false;
    if (!text(offset, out)) return fail("is not a valid key");
    if (report) sink_.key(out);
    return true;
  }

  // True when `ref` is a date that reads as absent.
  bool isDroppedDate(std::uint64_t ref) const {
    if (ref >= count_) return false;
    const std::uint64_t offset = bigEndian(b_ + table_ + ref * offsetSize_, offsetSize_);
    return offset >= 8 && offset < table_ && b_[offset] == 0x33 && fits(offset + 1, 8) &&
           !isDateInRange(doubleAt(offset + 1));
  }

  // Reports the object `ref`; a container is pushed for its entries.
  bool object(std::uint64_t ref, Frame* stack, int& depth) {
    std::uint64_t offset = 0;
    if (!count() || !offsetOf(ref, offset)) return false;
    const unsigned marker = b_[offset];
    const unsigned low = marker & 0x0F;
    switch (marker >> 4) {
      case 0x0:
        if (marker != 0x08 && marker != 0x09) return fail("has an unknown marker");
        sink_.boolean(marker == 0x09);
        return true;
      case 0x1: {
        if (low > 4) return fail("has an integer of an invalid size");
        if (!fits(offset + 1, 1u << low)) return false;
        const unsigned char* p = b_ + offset + 1;
        if (low < 4) {
          // One, two and four bytes are unsigned; eight are signed.
          sink_.integer(Integer{bigEndian(p, 1u << low), false});
          return true;
        }
        // Sixteen bytes: an unsigned 64-bit value, or a sign-extended one.
        const std::uint64_t high = bigEndian(p, 8), value = bigEndian(p + 8, 8);
        if (high == 0) sink_.integer(Integer{value, value >> 63 != 0});
        else if (high == ~std::uint64_t{0} && value >> 63) sink_.integer(Integer{value, false});
        else return fail("has an integer beyond 64 bits");
        return true;
      }
      case 0x2: {
        if (low == 2 && fits(offset + 1, 4)) {
          auto bits = static_cast<std::uint32_t>(bigEndian(b_ + offset + 1, 4));
          float value;
          std::memcpy(&value, &bits, sizeof value);
          sink_.real(value);
          return true;
        }
        if (low != 3) return fail("has a real of an invalid size");
        if (!fits(offset + 1, 8)) return false;
        sink_.real(doubleAt(offset + 1));
        return true;
      }
      case 0x3: {
        if (marker != 0x33) return fail("has an unknown marker");
        if (!fits(offset + 1, 8)) return false;
        const double seconds = doubleAt(offset + 1);
        if (!isDateInRange(seconds)) return fail("has a date out of range");
        sink_.date(seconds);
        return true;
      }
      case 0x4: {
        std::uint64_t bytes, start;
        if (!length(offset, bytes, start) || !fits(start, bytes) || !spend(bytes)) return false;
        sink_.data(std::string_view(reinterpret_cast<const char*>(b_ + start), bytes));
        return true;
      }
      case 0x5:
      case 0x6: {
        std::string_view out;
        if (!text(offset, out)) return fail("is not a valid string");
        sink_.string(out);
        return true;
      }
      case 0x8: {
        // Keyed-archive references are 32-bit on the device. One counts as
        // its XML form, so that whatever is read can be written.
        if (low > 3) return fail("has a reference wider than 32 bits");
        if (!fits(offset + 1, low + 1)) return false;
        if (depth + kUidLevels > kMaxDepth) return fail("nests a reference deeper than the limit");
        if (!count(kUidObjects - 1)) return false;
        sink_.uid(bigEndian(b_ + offset + 1, low + 1));
        return true;
      }
      case 0xA:
      case 0xD: {
        const bool dict = marker >> 4 == 0xD;
        std::uint64_t entries, start;
        if (!length(offset, entries, start)) return false;
        if (depth == kMaxDepth) return fail("nests deeper than the limit");
        const std::uint64_t perEntry = dict ? 2u * refSize_ : refSize_;
        if (entries > (table_ - start) / perEntry) return fail("has more entries than the file holds");
        for (int i = 0; i < depth; ++i)
          if (stack[i].ref == ref) return fail("contains itself");
        if (dict) sink_.beginDict();
        else sink_.beginArray();
        stack[depth++] = Frame{ref, start, entries, 0, dict};
        return true;
      }
      default:
        return fail("has an unknown marker");
    }
  }

  double doubleAt(std::uint64_t position) const {
    std::uint64_t bits = bigEndian(b_ + position, 8);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  bool walk(std::uint64_t top) {
    Frame stack[kMaxDepth];
    int depth = 0;
    if (!object(top, stack, depth)) return failedAt(top);
    while (depth > 0) {
      Frame& frame = stack[depth - 1];
      if (frame.index == frame.count) {
        --depth;
        if (frame.dict) sink_.endDict();
        else sink_.endArray();
        continue;
      }
      const std::uint64_t i = frame.index++;
      std::uint64_t ref, keyRef = 0;
      if (!refAt(frame.refs + (frame.dict ? frame.count + i : i) * refSize_, ref)) return false;
      const bool dropped = isDroppedDate(ref);
      if (frame.dict && (!refAt(frame.refs + i * refSize_, keyRef) || !key(keyRef, !dropped)))
        return failedAt(keyRef);
      if (dropped) {
        if (!count()) return failedAt(ref);
        continue;
      }
      if (!object(ref, stack, depth)) return failedAt(ref);
    }
    return true;
  }

  const unsigned char* b_;
  std::uint64_t size_;
  Sink& sink_;
  unsigned offsetSize_ = 0, refSize_ = 0;
  std::uint64_t count_ = 0, table_ = 0;
  std::size_t objects_ = 0;
  std::uint64_t textBytes_ = 0;
  Failure failure_;
  std::string text_;  // a UTF-16 string converted
};

}  // namespace plist
