// Writes a libplist node tree in the XML encoding, laid out as the device's
// own writer lays it out. Written here rather than taken from libplist 2.2,
// whose XML writer formats dates before 2001 a second late, years below 1000
// without their leading zeros and dates far from 2001 as an empty element,
// drops the sign of -0.0 and leaves carriage returns to be folded into line
// feeds by conforming readers.
#pragma once

#include <string>

#include <plist/plist.h>

namespace settings::plist {

// Replaces `out` with the XML form of `root`. False when the tree holds what
// the reader would not read back the same: nesting deeper than kMaxDepth,
// more than kMaxObjects keys and values, a string or key that is not UTF-8
// or holds U+0000, a date outside the years 1 to 9999.
bool writeXml(plist_t root, std::string& out);

}  // namespace settings::plist
