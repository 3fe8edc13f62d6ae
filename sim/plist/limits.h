// Bounds every settings read stays within, whatever the file holds. A file
// that exceeds one reads as empty, like any unreadable file.
#pragma once

#include <cstddef>

namespace plist {

// Containers nested inside one another, the root included. The device's own
// reader stops at the same depth.
inline constexpr int kMaxDepth = 128;
// Keys and values produced by one read. A binary file's shared reference
// counts every time it is expanded, so a small file cannot stand for an
// exponentially large tree. A file of 10,000 per-application keys uses about
// 20,000.
inline constexpr std::size_t kMaxObjects = std::size_t{1} << 18;
// Bytes of one settings file; a 10,000-key XML file is about half a megabyte.
inline constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;
// Bytes of keys, strings and data one read produces. A binary file's shared
// reference counts every time it is expanded, as for kMaxObjects.
inline constexpr std::size_t kMaxTextBytes = 4 * kMaxFileBytes;

}  // namespace plist
