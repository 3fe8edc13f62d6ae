// The character encoding an XML declaration names, for files that carry no
// byte-order mark.
#pragma once

#include <string_view>

namespace plist {

enum class DeclaredEncoding : unsigned char {
  Utf8,     // UTF-8, or no declaration of an encoding
  Utf16,    // UTF-16 named in a file without a byte-order mark: read as UTF-8
  Latin1,   // ISO-8859-1
  Ascii,    // US-ASCII
  Unknown,  // anything else
};

// The encoding named by the declaration `text` starts with, if any; `name`
// receives the name as written.
DeclaredEncoding declaredEncoding(std::string_view text, std::string_view& name);

}  // namespace plist
