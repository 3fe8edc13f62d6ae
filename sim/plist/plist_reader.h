// One reader for every property-list encoding: binary, XML (UTF-8 with or
// without a byte-order mark, UTF-16 with one, ISO-8859-1 or US-ASCII as its
// declaration names) and the old-style text encoding. It reports value events to a sink (sim/plist/value_events.h); the
// look-up and the whole-dictionary reader are its two sinks, so they agree
// on every file.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "sim/plist/binary_parser.h"
#include "sim/plist/limits.h"
#include "sim/plist/read_result.h"
#include "sim/plist/text_parser.h"
#include "sim/plist/unicode.h"
#include "sim/plist/xml_encoding.h"
#include "sim/plist/xml_parser.h"

namespace plist {

// Whether text starting with '<' is XML rather than old-style hex data.
inline bool looksLikeXml(std::string_view text) {
  if (text.size() < 2) return false;
  if (text[1] == '?' || text[1] == '!') return true;
  std::size_t end = 1;
  while (end < text.size() && xml::isNameChar(text[end])) ++end;
  return xml::elementNamed(text.substr(1, end - 1)) != xml::Element::Unknown;
}

// Fills `why` from a parser's failure in `text`: a byte offset for binary
// input, a line for the text encodings.
inline bool failed(ReadResult* why, ReadResult::Place place, const Failure& failure, std::string_view text) {
  if (!why) return false;
  why->reason = failure.what ? failure.what : "is malformed";
  why->place = place;
  if (place == ReadResult::Place::Binary) {
    why->position = failure.position;
  } else {
    const std::size_t end = std::min(failure.position, text.size());
    why->position = 1 + static_cast<std::uint64_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
  }
  return false;
}

inline bool failed(ReadResult* why, const char* reason, std::string_view encoding = {}) {
  if (why) {
    why->reason = reason;
    why->place = ReadResult::Place::None;
    why->encoding.assign(encoding);
  }
  return false;
}

// Parses `bytes` into events for `sink`. UTF-16 and ISO-8859-1 input is
// converted into `converted` first; the views the sink receives may point
// into either. False when the input is no property list or exceeds a limit;
// the sink's partial results must then be discarded, and `why`, when given,
// says what went wrong.
template <class Sink>
bool readPropertyList(std::string_view bytes, std::string& converted, Sink& sink, ReadResult* why = nullptr) {
  if (bytes.size() > kMaxFileBytes) return failed(why, "file is larger than the limit");
  if (bytes.empty()) return failed(why, "file is empty");
  if (bytes.substr(0, 6) == "bplist") {
    BinaryParser<Sink> parser(bytes, sink);
    return parser.parse() || failed(why, ReadResult::Place::Binary, parser.failure(), bytes);
  }
  std::string_view text = bytes;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  } else if (text.substr(0, 2) == "\xFE\xFF" || text.substr(0, 2) == "\xFF\xFE") {
    if (text.size() % 2 != 0) return failed(why, "UTF-16 file has an odd length");
    converted.clear();
    converted.reserve(text.size() / 2);
    if (!unicode::appendUtf16(converted, reinterpret_cast<const unsigned char*>(text.data()) + 2,
                              text.size() / 2 - 1, text[0] == '\xFE'))
      return failed(why, "UTF-16 file holds an unpaired surrogate or U+0000");
    text = converted;
  } else {
    // Without a byte-order mark, the XML declaration names the encoding.
    std::string_view name;
    switch (declaredEncoding(text, name)) {
      case DeclaredEncoding::Utf8:
      case DeclaredEncoding::Utf16:
        break;
      case DeclaredEncoding::Latin1:
        converted.clear();
        unicode::appendLatin1(converted, text);
        text = converted;
        break;
      case DeclaredEncoding::Ascii:
        for (std::size_t i = 0; i < text.size(); ++i)
          if (static_cast<unsigned char>(text[i]) >= 0x80)
            return failed(why, ReadResult::Place::Xml, Failure{"is not US-ASCII as declared", i}, text);
        break;
      case DeclaredEncoding::Unknown:
        return failed(why, "XML declares an unsupported encoding", name);
    }
  }
  std::size_t start = 0;
  while (start < text.size() && xml::isSpace(text[start])) ++start;
  if (start < text.size() && text[start] == '<' && looksLikeXml(text.substr(start))) {
    XmlParser<Sink> parser(text, sink);
    return parser.parse() || failed(why, ReadResult::Place::Xml, parser.failure(), text);
  }
  TextParser<Sink> parser(text, sink);
  return parser.parse() || failed(why, ReadResult::Place::Text, parser.failure(), text);
}

}  // namespace plist
