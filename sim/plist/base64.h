// Base64 for the <data> element of the XML encoding. Written by hand: neither
// the standard library nor libplist's public interface offers it.
#pragma once

#include <string>
#include <string_view>

namespace plist {

// Decodes `text`, ignoring whitespace. A final group may omit its padding.
// False for any other character or a malformed end. `out` may be null to
// check without decoding.
bool decodeBase64(std::string_view text, std::string* out);
// Appends `bytes` encoded in lines of at most 68 characters, each line
// after the first preceded by `linePrefix`.
void appendBase64(std::string& out, std::string_view bytes, std::string_view linePrefix);

}  // namespace plist
