// Writes a property-list tree in the XML encoding, laid out as the device's
// own writer lays it out: dates with at least four digits of year (and a
// sign before year 0), -0.0 with its sign, every real exactly, carriage
// returns as references so that conforming readers do not fold them into
// line feeds.
#pragma once

#include <string>

#include "sim/plist/tree.h"

namespace plist {

// What the XML form cannot hold, when writeXml refuses a tree.
enum class XmlRefusal : unsigned char {
  kNone,
  kObjects,       // more keys and values than kMaxObjects
  kDepth,         // containers nested deeper than kMaxDepth
  kSize,          // XML larger than kMaxFileBytes
  kText,          // a key or string that is not UTF-8 or holds a character
                  // XML 1.0 cannot carry
  kDateFraction,  // a date with a fraction of a second
  kDateRange,     // a date outside the years the reader takes
  kUid,           // a keyed-archive reference of 2^32 or more
};

// The refusal in words, to follow "cannot hold this edit: ", e.g. "more
// than 262144 keys and values".
std::string describeXmlRefusal(XmlRefusal refusal);

// Replaces `out` with the XML form of `root`. False when the tree holds what
// the reader would not read back the same, or would refuse, counted as the
// reader counts: nesting deeper than kMaxDepth, more than kMaxObjects keys
// and values (a uid is three, and a level), a string or key that is not
// UTF-8 or holds a character XML 1.0 cannot carry (U+0000 and the other
// controls but tab, line feed and carriage return, U+FFFE, U+FFFF), a date
// that is not a whole second (the form has no fractions) or lies outside
// the years the reader takes (sim/plist/scalar_text.h), a uid of 2^32 or
// more; and when the XML would be larger than kMaxFileBytes, which only a
// tree holding much text, or shared references expanded, can reach. `why`,
// when given, tells which (kNone when written).
bool writeXml(Node root, std::string& out, XmlRefusal* why = nullptr);

}  // namespace plist
