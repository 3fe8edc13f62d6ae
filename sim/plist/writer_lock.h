// The advisory lock that serialises the settings writers' read-modify-write
// across processes. The simulated platform's
// preferences writers take it once the device path is mapped.
#pragma once

#include <string>

namespace plist {

// Waits for and takes the exclusive flock(2) on "<path>.lock", creating that
// file (0644) if needed, and returns its descriptor; -1 when it cannot be
// opened as a regular file (a symlink there is never followed). The file's
// existence means nothing: the lock is held on the open descriptor, so the
// kernel releases it when the holder closes it or dies. A shared descriptor
// is enough for flock, so a file created by root still serves other users.
int lockWriters(const std::string& path);
// Releases the lock and closes the descriptor. -1 does nothing.
void unlockWriters(int fd);

}  // namespace plist
