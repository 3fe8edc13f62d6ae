// Whole-file reads and atomic replacement on the host's own file system.
// The simulated platform reads and replaces preferences files with these
// once the device path is mapped.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "sim/plist/limits.h"

namespace plist {

// Reads the regular file at `path` whole, following a symlink. False, with
// `bytes` empty, when it is absent, not a regular file (a FIFO or device is
// never waited on), larger than `maxBytes`, or cannot be read.
bool readWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes = kMaxFileBytes);
// The same for a file already open at `fd`, which stays open.
bool readWholeOpenFile(int fd, std::string& bytes, std::size_t maxBytes = kMaxFileBytes);

// Replaces the file at `path` with `bytes` so that readers, and a crash at
// any moment, see either the old file or the new one whole:
// - first removes temporary files that an earlier writer of the same target
//   left when it died;
// - writes a new temporary file, created exclusively under an unguessable
//   name in the target's folder, syncs it, renames it over `path` and syncs
//   the folder;
// - a symlink at `path` is replaced, never followed;
// - the new file keeps the permission bits of the regular file it replaces
//   (0644 when there is none) and, when running as root, its owner (the
//   folder's owner when there is none), so that a root writer does not lock
//   the user's processes out.
// False when nothing was replaced, with errno saying why; the old file is
// then untouched and the temporary file removed.
bool replaceFileAtomically(const std::string& path, std::string_view bytes);
// The same for the file `name` (a plain name, no slash) in the folder open
// at `folderFd`: every step stays inside that folder, however its path
// changes meanwhile. `beforeRename`, when given, runs once the new file is
// on disk, just before it takes the old one's place; when it returns false
// nothing is replaced.
bool replaceFileAtomicallyAt(int folderFd, const std::string& name, std::string_view bytes,
                             const std::function<bool()>& beforeRename = {});

}  // namespace plist
