// The whole property list as a libplist node tree, every type and value
// intact, for the writers' read-modify-write.
#pragma once

#include <string_view>

#include <plist/plist.h>

#include "settings/read_result.h"

namespace settings::plist {

// The root node of the property list in `bytes`, of any encoding and any root
// type, owned by the caller; null when the bytes are unreadable or exceed a
// limit of settings/limits.h. A one-key dictionary {"CF$UID": n} becomes a
// UID node, as the XML encoding writes those.
plist_t readTree(std::string_view bytes, ReadResult* why = nullptr);

}  // namespace settings::plist
