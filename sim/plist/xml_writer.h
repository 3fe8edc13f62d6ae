// Writes a property-list tree in the XML encoding, laid out as the device's
// own writer lays it out: dates of every year from 1 to 9999 with their
// leading zeros, -0.0 with its sign, every real exactly, carriage returns as
// references so that conforming readers do not fold them into line feeds.
#pragma once

#include <string>

#include "sim/plist/tree.h"

namespace plist {

// Replaces `out` with the XML form of `root`. False when the tree holds what
// the reader would not read back the same, or would refuse, counted as the
// reader counts: nesting deeper than kMaxDepth, more than kMaxObjects keys
// and values (a uid is three, and a level), a string or key that is not
// UTF-8 or holds U+0000, a date outside the years 1 to 9999, a uid of 2^32
// or more; and when the XML would be larger than kMaxFileBytes, which only
// a tree holding much text, or shared references expanded, can reach.
// `tooLarge`, when given, tells the last case from the others.
bool writeXml(Node root, std::string& out, bool* tooLarge = nullptr);

}  // namespace plist
