// The old-style text encoding of property lists, parsed into value events
// (sim/plist/value_events.h): { key = value; }, ( a, b ), quoted and unquoted
// strings, <hex data>, // and /* */ comments, and a file of bare
// "key = value;" pairs read as a dictionary. Every leaf is a string or data,
// as on the device. Written by hand: no library here reads this encoding.
// Octal escapes above \177 stand for characters of the NeXTSTEP character
// set, as on the device.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "sim/plist/limits.h"
#include "sim/plist/unicode.h"
#include "sim/plist/value_events.h"

namespace plist {
namespace text {

inline bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

inline bool isUnquoted(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
         c == '/' || c == ':' || c == '.' || c == '-';
}

inline int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace text

template <class Sink>
class TextParser {
 public:
  // `in` must outlive the parser; the sink receives views into it.
  TextParser(std::string_view in, Sink& sink)
      : begin_(in.data()), p_(in.data()), end_(in.data() + in.size()), sink_(sink) {}

  // Parses the whole input; false when it is not one well-formed property
  // list within the limits.
  bool parse() {
    if (parseDocument()) return true;
    return fail("is not well-formed");
  }

  // Why parse() returned false; the position is where reading stopped.
  const Failure& failure() const { return failure_; }

 private:
  enum class Frame : unsigned char { Dict, Array, Bare };

  // Records the first fault, where reading stopped.
  [[gnu::cold, gnu::noinline]] bool fail(const char* what) {
    if (!failure_.what) failure_ = Failure{what, static_cast<std::size_t>(p_ - begin_)};
    return false;
  }

  bool parseDocument() {
    if (!skip() || p_ == end_) return false;
    Frame stack[kMaxDepth];
    int depth = 0;
    if (bareDictionary()) {
      if (!count()) return false;
      sink_.beginDict();
      stack[depth++] = Frame::Bare;
    } else if (!item(stack, depth)) {
      return false;
    }
    while (depth > 0) {
      const Frame frame = stack[depth - 1];
      if (!skip()) return false;
      const bool closing = frame == Frame::Bare ? p_ == end_ : p_ < end_ && *p_ == closer(frame);
      if (closing) {
        if (frame != Frame::Bare) ++p_;
        --depth;
        if (frame == Frame::Array) sink_.endArray();
        else sink_.endDict();
        if (depth > 0 && !separator(stack[depth - 1])) return false;
        continue;
      }
      if (frame != Frame::Array) {
        std::string_view key;
        if (!count() || !string(key)) return false;
        sink_.key(key);
        if (!skip() || p_ == end_ || *p_++ != '=' || !skip()) return false;
      }
      if (!item(stack, depth)) return false;
    }
    if (!skip()) return false;
    return p_ == end_ || fail("has content after the property list");
  }

  static char closer(Frame frame) { return frame == Frame::Array ? ')' : '}'; }

  bool count() { return ++objects_ <= kMaxObjects || fail("goes past the limit of objects"); }

  // Whitespace and comments.
  bool skip() {
    for (;;) {
      while (p_ < end_ && text::isSpace(*p_)) ++p_;
      if (end_ - p_ >= 2 && p_[0] == '/' && p_[1] == '/') {
        while (p_ < end_ && *p_ != '\n' && *p_ != '\r') ++p_;
      } else if (end_ - p_ >= 2 && p_[0] == '/' && p_[1] == '*') {
        auto at = std::string_view(p_ + 2, static_cast<std::size_t>(end_ - p_ - 2)).find("*/");
        if (at == std::string_view::npos) return false;
        p_ += at + 4;
      } else {
        return true;
      }
    }
  }

  // Whether the file starts with "string =": a dictionary without braces.
  bool bareDictionary() {
    const char* start = p_;
    std::string_view ignored;
    bool bare = (*p_ == '"' || *p_ == '\'' || text::isUnquoted(*p_)) && string(ignored) && skip() && p_ < end_ &&
                *p_ == '=';
    p_ = start;
    return bare;
  }

  // After a value inside `parent`: the separator that follows it. The last
  // one before the closing bracket may be left out.
  bool separator(Frame parent) {
    if (!skip()) return false;
    const char wanted = parent == Frame::Array ? ',' : ';';
    if (p_ < end_ && *p_ == wanted) {
      ++p_;
      return true;
    }
    return parent == Frame::Bare ? p_ == end_ : p_ < end_ && *p_ == closer(parent);
  }

  // One value; a container is pushed, a scalar reported with its separator.
  bool item(Frame* stack, int& depth) {
    if (p_ == end_ || !count()) return false;
    const char c = *p_;
    if (c == '{' || c == '(') {
      if (depth == kMaxDepth) return fail("nests deeper than the limit");
      ++p_;
      if (c == '{') sink_.beginDict();
      else sink_.beginArray();
      stack[depth++] = c == '{' ? Frame::Dict : Frame::Array;
      return true;
    }
    if (c == '<') {
      if (!hexData()) return false;
      sink_.data(data_);
    } else {
      std::string_view value;
      if (!string(value)) return false;
      sink_.string(value);
    }
    return depth == 0 || separator(stack[depth - 1]);
  }

  bool hexData() {
    data_.clear();
    ++p_;
    int high = -1;
    for (; p_ < end_ && *p_ != '>'; ++p_) {
      if (text::isSpace(*p_)) continue;
      int digit = text::hexDigit(*p_);
      if (digit < 0) return false;
      if (high < 0) {
        high = digit;
      } else {
        data_.push_back(static_cast<char>(high << 4 | digit));
        high = -1;
      }
    }
    if (p_ == end_ || high >= 0) return false;
    ++p_;
    return true;
  }

  bool string(std::string_view& out) {
    if (p_ == end_) return false;
    if (*p_ == '"' || *p_ == '\'') return quoted(out);
    const char* start = p_;
    while (p_ < end_ && text::isUnquoted(*p_)) ++p_;
    out = std::string_view(start, static_cast<std::size_t>(p_ - start));
    return !out.empty();
  }

  // Up to `maxDigits` digits of `base` after a backslash escape.
  char32_t escapedNumber(int base, int maxDigits) {
    char32_t value = 0;
    for (int i = 0; i < maxDigits && p_ < end_; ++i, ++p_) {
      int digit = text::hexDigit(*p_);
      if (digit < 0 || digit >= base) break;
      value = value * static_cast<char32_t>(base) + static_cast<char32_t>(digit);
    }
    return value;
  }

  bool escape() {
    if (p_ == end_) return false;
    const char c = *p_;
    switch (c) {
      case 'a': text_ += '\a'; break;
      case 'b': text_ += '\b'; break;
      case 'f': text_ += '\f'; break;
      case 'n': text_ += '\n'; break;
      case 'r': text_ += '\r'; break;
      case 't': text_ += '\t'; break;
      case 'v': text_ += '\v'; break;
      case 'U':
      case 'u': {
        ++p_;
        char32_t unit = escapedNumber(16, 4);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
          // A surrogate pair is written as two escapes.
          if (end_ - p_ < 2 || p_[0] != '\\' || (p_[1] != 'U' && p_[1] != 'u')) return false;
          p_ += 2;
          char32_t low = escapedNumber(16, 4);
          if (low < 0xDC00 || low > 0xDFFF) return false;
          unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
        return unicode::appendUtf8(text_, unit);
      }
      default:
        if (c >= '0' && c <= '7') {
          char32_t value = escapedNumber(8, 3);
          if (value > 0xFF) return false;
          if (value >= 0x80) value = unicode::fromNextStep(static_cast<unsigned char>(value));
          return unicode::appendUtf8(text_, value);
        }
        if (static_cast<unsigned char>(c) >= 0x80) {
          std::size_t n = unicode::sequenceLength(reinterpret_cast<const unsigned char*>(p_),
                                                  reinterpret_cast<const unsigned char*>(end_));
          if (n == 0) return false;
          text_.append(p_, n);
          p_ += n;
          return true;
        }
        if (c == 0) return false;
        text_ += c;
    }
    ++p_;
    return true;
  }

  bool quoted(std::string_view& out) {
    const char quote = *p_++;
    const char* start = p_;
    const char* segment = p_;
    bool decoded = false;
    while (p_ < end_) {
      const unsigned char c = static_cast<unsigned char>(*p_);
      if (c == static_cast<unsigned char>(quote)) {
        if (decoded) {
          text_.append(segment, p_);
          out = text_;
        } else {
          out = std::string_view(start, static_cast<std::size_t>(p_ - start));
        }
        ++p_;
        return true;
      }
      if (c == 0) return false;
      if (c == '\\') {
        if (!decoded) text_.clear();
        text_.append(segment, p_);
        decoded = true;
        ++p_;
        if (!escape()) return false;
        segment = p_;
      } else if (c >= 0x80) {
        std::size_t n = unicode::sequenceLength(reinterpret_cast<const unsigned char*>(p_),
                                                reinterpret_cast<const unsigned char*>(end_));
        if (n == 0) return false;
        p_ += n;
      } else {
        ++p_;
      }
    }
    p_ = start - 1;
    return fail("has an unterminated string");
  }

  const char* begin_;
  const char* p_;
  const char* end_;
  Sink& sink_;
  Failure failure_;
  std::string text_;  // a quoted string with escapes decoded
  std::string data_;  // decoded hex data
  std::size_t objects_ = 0;
};

}  // namespace plist
