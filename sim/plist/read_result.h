// Why a read of a property list gave nothing: what went wrong and where, in
// the manner of an XML parser's parse result. The deliverables ignore it; the
// simulator's tools print it.
#pragma once

#include <cstdint>
#include <string>

namespace plist {

struct ReadResult {
  // Where `position` points.
  enum class Place : std::uint8_t {
    None,    // the whole input
    Binary,  // a byte offset into a binary file
    Xml,     // a line of an XML file
    Text,    // a line of an old-style text file
  };

  // A static description of the fault; null when the bytes read as a
  // dictionary.
  const char* reason = nullptr;
  Place place = Place::None;
  // A byte offset for Binary, a line (from 1) for Xml and Text.
  std::uint64_t position = 0;
  // The declared encoding a file was refused for, when that is the reason.
  std::string encoding;

  // True when the bytes read as a dictionary.
  explicit operator bool() const { return reason == nullptr; }
  // The fault in words, e.g. "binary offset 0x1f4 out of range",
  // "XML line 12: unexpected end tag", "root is an array, not a
  // dictionary"; "dictionary" when there is none.
  std::string describe() const;
};

}  // namespace plist
