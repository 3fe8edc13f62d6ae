// The adapter's file operations on a device: the POSIX calls on the device
// path itself.
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include "adapter/file_system.h"

namespace adapter {

std::string foundationPath(const std::string& devicePath) { return devicePath; }

int openForReading(const std::string& devicePath) {
  return open(devicePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool statFile(const std::string& devicePath, struct stat& status) { return stat(devicePath.c_str(), &status) == 0; }

bool renameFile(const std::string& from, const std::string& to) { return rename(from.c_str(), to.c_str()) == 0; }

int openLockFile(const std::string& devicePath) {
  return open((devicePath + ".lock").c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
              0644);
}

}  // namespace adapter
