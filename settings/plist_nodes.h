// Integer and date nodes with their full values. libplist 2.2 holds a date as
// a double and remembers whether an integer of 2^63 or above is unsigned, but
// its interface only builds dates from 32-bit seconds and reads integers as
// bare bits. These go through its binary encoding, which carries both, so
// every value the reader accepts survives in the node tree.
#pragma once

#include <optional>

#include <plist/plist.h>

#include "settings/value_events.h"

namespace settings::plist {

// A new integer node holding `value`, sign included.
plist_t newInteger(Integer value);
// The value of an integer node.
Integer integerOf(plist_t node);
// A new date node at `seconds` since 2001-01-01T00:00:00Z.
plist_t newDate(double seconds);
// The date of a date node as the XML form keeps it (whole seconds), or none
// when it lies outside the years that form can write.
std::optional<double> dateOf(plist_t node);

}  // namespace settings::plist
