// The XML encoding of property lists, parsed into value events
// (sim/plist/value_events.h). Written by hand rather than on pugixml: the
// look-up path reads a handful of keys on every app switch and must not build
// a document tree, and the property-list vocabulary is small. It accepts what
// the device's reader accepts: an optional <plist> wrapper, any prolog
// (declaration, comments, processing instructions, DOCTYPE), attributes,
// comments and CDATA sections in content, the five named entities and
// character references; entity declarations are never expanded. Text must
// be UTF-8 (the caller converts UTF-16 first); line ends are kept as they are.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <string>
#include <string_view>

#include "sim/plist/base64.h"
#include "sim/plist/limits.h"
#include "sim/plist/scalar_text.h"
#include "sim/plist/unicode.h"
#include "sim/plist/value_events.h"

namespace plist {
namespace xml {

enum class Element : unsigned char { Unknown, Plist, Dict, Array, Key, String, Data, Date, Integer, Real, True, False };

inline Element elementNamed(std::string_view name) {
  switch (name.size()) {
    case 3:
      if (name == "key") return Element::Key;
      break;
    case 4:
      if (name == "dict") return Element::Dict;
      if (name == "data") return Element::Data;
      if (name == "date") return Element::Date;
      if (name == "real") return Element::Real;
      if (name == "true") return Element::True;
      break;
    case 5:
      if (name == "plist") return Element::Plist;
      if (name == "array") return Element::Array;
      if (name == "false") return Element::False;
      break;
    case 6:
      if (name == "string") return Element::String;
      break;
    case 7:
      if (name == "integer") return Element::Integer;
      break;
  }
  return Element::Unknown;
}

// Character classes, looked up by byte.
struct CharClasses {
  static constexpr unsigned char kSpace = 1, kName = 2, kStop = 4;
  unsigned char of[256] = {};
  constexpr CharClasses() {
    for (char c : {' ', '\t', '\n', '\r'}) of[static_cast<unsigned char>(c)] |= kSpace;
    for (int c = 'a'; c <= 'z'; ++c) of[c] |= kName;
    for (int c = 'A'; c <= 'Z'; ++c) of[c] |= kName;
    for (int c = '0'; c <= '9'; ++c) of[c] |= kName;
    for (char c : {'_', ':', '-', '.'}) of[static_cast<unsigned char>(c)] |= kName;
    // Where a scan of character data stops: markup, references, non-ASCII
    // (checked as UTF-8) and the controls XML cannot carry.
    for (char c : {'<', '&'}) of[static_cast<unsigned char>(c)] |= kStop;
    for (int c = 0; c < 0x20; ++c)
      if (c != '\t' && c != '\n' && c != '\r') of[c] |= kStop;
    for (int c = 0x80; c < 256; ++c) of[c] |= kStop;
  }
};
inline constexpr CharClasses kClasses;

inline bool isSpace(char c) { return kClasses.of[static_cast<unsigned char>(c)] & CharClasses::kSpace; }
inline bool isNameChar(char c) { return kClasses.of[static_cast<unsigned char>(c)] & CharClasses::kName; }
inline bool isStop(char c) { return kClasses.of[static_cast<unsigned char>(c)] & CharClasses::kStop; }

// Whether any of the eight bytes in `word` might stop a scan of character
// data (any control does); lets the scan take plain text a word at a time.
inline bool anyStop(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
  auto hasZero = [](std::uint64_t v) { return (v - kOnes) & ~v & kHigh; };
  const bool anyControl = (word - kOnes * 0x20) & ~word & kHigh;
  return (word & kHigh) || anyControl || hasZero(word ^ (kOnes * '<')) || hasZero(word ^ (kOnes * '&'));
}

}  // namespace xml

template <class Sink>
class XmlParser {
 public:
  // `in` must outlive the parser; the sink receives views into it.
  XmlParser(std::string_view in, Sink& sink)
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
  using Element = xml::Element;
  struct Tag {
    Element element = Element::Unknown;
    bool empty = false;  // <name/>
  };
  struct Frame {
    Element kind;
    bool awaitingValue;  // a dictionary's key has been read
  };

  bool parseDocument() {
    if (!skipMisc(true) || !atStartTag()) return false;
    Tag tag;
    if (!startTag(tag)) return false;
    if (tag.element == xml::Element::Plist) {
      if (tag.empty || !skipMisc(false) || !atStartTag() || !startTag(tag) || !value(tag)) return false;
      if (!skipMisc(false) || !endTag(xml::Element::Plist)) return false;
    } else if (!value(tag)) {
      return false;
    }
    if (!skipMisc(false)) return false;
    return p_ == end_ || fail("has content after the property list");
  }

  // Records the first fault, where reading stopped.
  [[gnu::cold, gnu::noinline]] bool fail(const char* what) {
    if (!failure_.what) failure_ = Failure{what, static_cast<std::size_t>(p_ - begin_)};
    return false;
  }

  std::size_t left() const { return static_cast<std::size_t>(end_ - p_); }
  bool startsWith(std::string_view s) const { return left() >= s.size() && std::memcmp(p_, s.data(), s.size()) == 0; }
  bool atStartTag() const { return p_ < end_ && *p_ == '<' && left() > 1 && p_[1] != '/'; }

  // Moves past `terminator`, searched from the current position.
  bool skipPast(std::string_view terminator) {
    auto at = std::string_view(p_, left()).find(terminator);
    if (at == std::string_view::npos) return false;
    p_ += at + terminator.size();
    return true;
  }

  // Whitespace, comments and processing instructions; in the prolog also the
  // document type declaration, internal subset included.
  bool skipMisc(bool prolog) {
    for (;;) {
      while (p_ < end_ && xml::isSpace(*p_)) ++p_;
      if (left() < 2 || *p_ != '<' || (p_[1] != '!' && p_[1] != '?')) return true;
      if (startsWith("<!--")) {
        p_ += 4;
        if (!skipPast("-->")) return false;
      } else if (p_[1] == '?') {
        p_ += 2;
        if (!skipPast("?>")) return false;
      } else if (prolog && startsWith("<!DOCTYPE")) {
        if (!skipDoctype()) return false;
      } else {
        return true;
      }
    }
  }

  bool skipDoctype() {
    int brackets = 0;
    for (p_ += 9; p_ < end_; ++p_) {
      char c = *p_;
      if (c == '"' || c == '\'') {
        const void* close = std::memchr(p_ + 1, c, left() - 1);
        if (!close) return false;
        p_ = static_cast<const char*>(close);
      } else if (c == '[') {
        ++brackets;
      } else if (c == ']') {
        --brackets;
      } else if (c == '>' && brackets <= 0) {
        ++p_;
        return true;
      }
    }
    return false;
  }

  // The common tags exactly as writers lay them out, recognised whole.
  bool plainStartTag(Tag& tag) {
    static constexpr struct {
      std::string_view text;
      Element element;
      bool empty;
    } kPlain[] = {{"<key>", Element::Key, false},         {"<true/>", Element::True, true},
                  {"<false/>", Element::False, true},     {"<string>", Element::String, false},
                  {"<integer>", Element::Integer, false}, {"<real>", Element::Real, false}};
    for (const auto& plain : kPlain) {
      if (p_[1] == plain.text[1] && startsWith(plain.text)) {
        p_ += plain.text.size();
        tag = Tag{plain.element, plain.empty};
        return true;
      }
    }
    return false;
  }

  // At '<': reads the element name and skips its attributes.
  bool startTag(Tag& tag) {
    if (left() > 1 && plainStartTag(tag)) return true;
    const char* name = ++p_;
    while (p_ < end_ && xml::isNameChar(*p_)) ++p_;
    tag.element = xml::elementNamed(std::string_view(name, static_cast<std::size_t>(p_ - name)));
    if (tag.element == Element::Unknown) {
      p_ = name - 1;
      return fail("has an unknown element");
    }
    for (;;) {
      bool spaced = p_ < end_ && xml::isSpace(*p_);
      while (p_ < end_ && xml::isSpace(*p_)) ++p_;
      if (p_ >= end_) return false;
      if (*p_ == '>') {
        ++p_;
        tag.empty = false;
        return true;
      }
      if (startsWith("/>")) {
        p_ += 2;
        tag.empty = true;
        return true;
      }
      if (!spaced || !xml::isNameChar(*p_)) return false;
      while (p_ < end_ && xml::isNameChar(*p_)) ++p_;
      while (p_ < end_ && xml::isSpace(*p_)) ++p_;
      if (p_ >= end_ || *p_++ != '=') return false;
      while (p_ < end_ && xml::isSpace(*p_)) ++p_;
      if (p_ >= end_ || (*p_ != '"' && *p_ != '\'')) return false;
      const char quote = *p_++;
      const char* close = static_cast<const char*>(std::memchr(p_, quote, left()));
      if (!close || std::memchr(p_, '<', static_cast<std::size_t>(close - p_))) return false;
      p_ = close + 1;
    }
  }

  // At "</": the end tag of `element`.
  bool endTag(Element element) {
    if (element == Element::Key && startsWith("</key>")) {
      p_ += 6;
      return true;
    }
    if (!startsWith("</")) return false;
    const char* name = p_ += 2;
    while (p_ < end_ && xml::isNameChar(*p_)) ++p_;
    if (xml::elementNamed(std::string_view(name, static_cast<std::size_t>(p_ - name))) != element) {
      p_ = name - 2;
      return fail("has a mismatched end tag");
    }
    while (p_ < end_ && xml::isSpace(*p_)) ++p_;
    if (p_ >= end_ || *p_ != '>') return false;
    ++p_;
    return true;
  }

  // After "&": one entity or character reference, appended to text_.
  bool reference() {
    const char* semicolon = static_cast<const char*>(std::memchr(p_, ';', std::min<std::size_t>(left(), 12)));
    if (!semicolon) return false;
    std::string_view name(p_ + 1, static_cast<std::size_t>(semicolon - p_ - 1));
    p_ = semicolon + 1;
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, character] : kNamed) {
      if (name == entity) {
        text_ += character;
        return true;
      }
    }
    if (name.size() < 2 || name[0] != '#') return false;
    bool hex = name[1] == 'x';
    name.remove_prefix(hex ? 2 : 1);
    if (name.empty()) return false;
    char32_t cp = 0;
    for (char c : name) {
      int digit;
      if (c >= '0' && c <= '9') digit = c - '0';
      else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      else return false;
      cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(digit);
      if (cp > 0x10FFFF) return false;
    }
    return unicode::isXmlChar(cp) && unicode::appendUtf8(text_, cp);
  }

  // After a start tag: the character data up to the matching end tag. The
  // result points into the input when nothing had to be decoded.
  bool content(Element element, std::string_view& out) {
    const char* start = p_;
    const char* segment = p_;
    bool decoded = false;
    auto flush = [&] {
      if (!decoded) text_.clear();
      text_.append(segment, p_);
      decoded = true;
    };
    for (;;) {
      while (left() >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p_, sizeof word);
        if (xml::anyStop(word)) break;
        p_ += 8;
      }
      while (p_ < end_ && !xml::isStop(*p_)) ++p_;
      if (p_ >= end_) return false;
      const unsigned char c = static_cast<unsigned char>(*p_);
      if (c >= 0x80) {
        std::size_t n = unicode::sequenceLength(reinterpret_cast<const unsigned char*>(p_),
                                                reinterpret_cast<const unsigned char*>(end_));
        if (n == 0) return fail("is not valid UTF-8");
        if (unicode::isNonXmlSequence(reinterpret_cast<const unsigned char*>(p_), n))
          return fail("holds a character XML cannot carry");
        p_ += n;
      } else if (c == '&') {
        flush();
        if (!reference()) return fail("has an invalid reference");
        segment = p_;
      } else if (c < 0x20) {
        return fail(c == 0 ? "holds U+0000" : "holds a character XML cannot carry");
      } else if (startsWith("</")) {
        if (decoded) {
          text_.append(segment, p_);
          out = text_;
        } else {
          out = std::string_view(start, static_cast<std::size_t>(p_ - start));
        }
        return endTag(element);
      } else if (startsWith("<![CDATA[")) {
        flush();
        p_ += 9;
        auto at = std::string_view(p_, left()).find("]]>");
        if (at == std::string_view::npos) return false;
        std::string_view data(p_, at);
        if (!unicode::isXmlText(data))
          return fail(unicode::isValidUtf8(data) ? "holds a character XML cannot carry" : "is not valid UTF-8");
        text_ += data;
        p_ += at + 3;
        segment = p_;
      } else if (startsWith("<!--")) {
        flush();
        p_ += 4;
        if (!skipPast("-->")) return false;
        segment = p_;
      } else {
        return false;
      }
    }
  }

  bool count() { return ++objects_ <= kMaxObjects || fail("goes past the limit of objects"); }

  // One value whose start tag has been read, with everything inside it.
  bool value(Tag tag) {
    Frame stack[kMaxDepth];
    int depth = 0;
    for (;;) {
      if (!item(tag, stack, depth)) return false;
      for (;;) {
        if (depth == 0) return true;
        if (!skipMisc(false) || p_ >= end_ || *p_ != '<') return false;
        if (!startsWith("</")) break;
        const Frame& top = stack[depth - 1];
        if (top.awaitingValue || !endTag(top.kind)) return false;
        --depth;
        if (top.kind == Element::Dict) sink_.endDict();
        else sink_.endArray();
      }
      if (!startTag(tag)) return false;
    }
  }

  // Handles one element inside (or as) a container: a key, a scalar, or the
  // start of a container, which is pushed.
  bool item(const Tag& tag, Frame* stack, int& depth) {
    if (depth > 0 && stack[depth - 1].kind == Element::Dict) {
      Frame& dict = stack[depth - 1];
      if (!dict.awaitingValue) {
        if (tag.element != Element::Key) return fail("has a value where a key belongs");
        if (!count()) return false;
        std::string_view key;
        if (!tag.empty && !content(Element::Key, key)) return false;
        sink_.key(key);
        dict.awaitingValue = true;
        return true;
      }
      dict.awaitingValue = false;
    }
    if (!count()) return false;
    std::string_view text;
    switch (tag.element) {
      case Element::Dict:
      case Element::Array: {
        const bool dict = tag.element == Element::Dict;
        if (depth == kMaxDepth) return fail("nests deeper than the limit");
        if (dict) sink_.beginDict();
        else sink_.beginArray();
        if (tag.empty) {
          if (dict) sink_.endDict();
          else sink_.endArray();
        } else {
          stack[depth++] = Frame{tag.element, false};
        }
        return true;
      }
      case Element::String:
        if (!tag.empty && !content(Element::String, text)) return false;
        sink_.string(text);
        return true;
      case Element::True:
      case Element::False:
        if (!tag.empty) {
          if (!content(tag.element, text)) return false;
          for (char c : text)
            if (!xml::isSpace(c)) return false;
        }
        sink_.boolean(tag.element == Element::True);
        return true;
      case Element::Data: {
        if (!tag.empty && !content(Element::Data, text)) return false;
        data_.clear();
        if (!decodeBase64(text, &data_)) return fail("has invalid base64 data");
        sink_.data(data_);
        return true;
      }
      case Element::Integer: {
        if (tag.empty || !content(Element::Integer, text)) return false;
        auto number = parseInteger(text);
        if (!number) return fail("has an invalid integer");
        sink_.integer(*number);
        return true;
      }
      case Element::Real: {
        if (tag.empty || !content(Element::Real, text)) return false;
        auto number = parseReal(text);
        if (!number) return fail("has an invalid real");
        sink_.real(*number);
        return true;
      }
      case Element::Date: {
        if (tag.empty || !content(Element::Date, text)) return false;
        auto seconds = parseDate(text);
        if (!seconds) return fail("has an invalid date");
        sink_.date(*seconds);
        return true;
      }
      default:
        return false;
    }
  }

  const char* begin_;
  const char* p_;
  const char* end_;
  Sink& sink_;
  std::string text_;  // decoded character data
  std::string data_;  // decoded base64
  std::size_t objects_ = 0;
  Failure failure_;
};

}  // namespace plist
