// Whole-file reads and atomic replacement on the host's own file system.
// Platform libraries use these to implement host::readFile and
// host::replaceFile once the device path is mapped.
#pragma once

#include <string>
#include <string_view>

namespace settings {

// Reads the regular file at `path` whole. False, with `bytes` empty, when it
// is absent, not a regular file, or cannot be read.
bool readWholeFile(const std::string& path, std::string& bytes);
// Writes `bytes` to a new temporary file in the target's folder, syncs it and
// renames it over `path`, so readers see either the old or the new file. On
// any failure the old file is untouched and the temporary file removed.
bool replaceFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace settings
