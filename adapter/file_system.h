// The file operations of the adapter's settings code, on device paths. On a
// device they are the POSIX calls on the path itself; on the simulated
// platform each resolves inside the device root, where no link leads out
// of it.
#pragma once

#include <sys/stat.h>

#include <string>

namespace adapter {

// The path Foundation's file methods take for a device path.
std::string foundationPath(const std::string& devicePath);

// open(2) of the file for reading, without blocking (a FIFO there is not
// waited on) and without becoming a controlling terminal. -1, errno set,
// when it cannot be opened (or an injected read fault says so).
int openForReading(const std::string& devicePath);
// stat(2) of the file. False, errno set, when there is nothing to stat.
bool statFile(const std::string& devicePath, struct stat& status);
// rename(2) from one device path to another, replacing what is at `to`.
bool renameFile(const std::string& from, const std::string& to);
// Opens "<devicePath>.lock" for reading, creating it (0644) when missing,
// without blocking and without following a link there. -1, errno set, when
// it cannot.
int openLockFile(const std::string& devicePath);

}  // namespace adapter
