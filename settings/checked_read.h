// A whole-file read that tells the writers why it gave nothing. Platform
// libraries use it to implement host::readFileChecked once the device path
// is mapped.
#pragma once

#include <string>

#include "host/host.h"

namespace settings {

// Reads the file at `path` (following a symlink) as readWholeFile does, within
// kMaxFileBytes, and says what it found: kAbsent when nothing is there (a
// dangling symlink included), kTooLarge for a regular file over the bound,
// kFailed for anything else that could not be read. `bytes` is empty unless
// the result is kRead.
host::FileRead readFileChecked(const std::string& path, std::string& bytes);

}  // namespace settings
