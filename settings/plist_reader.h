// One reader for every property-list encoding: binary, XML (UTF-8 with or
// without a byte-order mark, UTF-16 with one) and the old-style text
// encoding. It reports value events to a sink (settings/value_events.h); the
// look-up and the whole-dictionary reader are its two sinks, so they agree
// on every file.
#pragma once

#include <string>
#include <string_view>

#include "settings/binary_parser.h"
#include "settings/limits.h"
#include "settings/text_parser.h"
#include "settings/unicode.h"
#include "settings/xml_parser.h"

namespace settings::plist {

// Whether text starting with '<' is XML rather than old-style hex data.
inline bool looksLikeXml(std::string_view text) {
  if (text.size() < 2) return false;
  if (text[1] == '?' || text[1] == '!') return true;
  std::size_t end = 1;
  while (end < text.size() && xml::isNameChar(text[end])) ++end;
  return xml::elementNamed(text.substr(1, end - 1)) != xml::Element::Unknown;
}

// Parses `bytes` into events for `sink`. UTF-16 input is converted into
// `converted` first; the views the sink receives may point into either.
// False when the input is no property list or exceeds a limit; the sink's
// partial results must then be discarded.
template <class Sink>
bool readPropertyList(std::string_view bytes, std::string& converted, Sink& sink) {
  if (bytes.size() > kMaxFileBytes) return false;
  if (bytes.substr(0, 6) == "bplist") {
    return BinaryParser<Sink>(bytes, sink).parse();
  }
  std::string_view text = bytes;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  } else if (text.substr(0, 2) == "\xFE\xFF" || text.substr(0, 2) == "\xFF\xFE") {
    if (text.size() % 2 != 0) return false;
    converted.clear();
    converted.reserve(text.size() / 2);
    if (!unicode::appendUtf16(converted, reinterpret_cast<const unsigned char*>(text.data()) + 2,
                              text.size() / 2 - 1, text[0] == '\xFE'))
      return false;
    text = converted;
  }
  std::size_t start = 0;
  while (start < text.size() && xml::isSpace(text[start])) ++start;
  if (start < text.size() && text[start] == '<' && looksLikeXml(text.substr(start)))
    return XmlParser<Sink>(text, sink).parse();
  return TextParser<Sink>(text, sink).parse();
}

}  // namespace settings::plist
