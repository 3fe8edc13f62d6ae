// The device's file system, below a folder of the machine's own: the
// adapter's file operations resolve inside the device root, as the device
// files of the simulated platform do (sim/in_root.h), so that no link
// planted in it leads out of it.
#include <fcntl.h>

#include <cerrno>

#include "adapter/file_system.h"
#include "sim/device_files.h"
#include "sim/frameworks/foundation_files.h"
#include "sim/frameworks/platform.h"
#include "sim/in_root.h"

namespace {

sim::Descriptor openInDevice(const std::string& devicePath, int flags, mode_t mode = 0) {
  const int root = sim::deviceRootFd();
  if (root < 0) return sim::Descriptor();
  return sim::openInRoot(root, devicePath, flags, mode);
}

}  // namespace

namespace adapter {

std::string foundationPath(const std::string& devicePath) { return sim::hostPath(devicePath); }

int openForReading(const std::string& devicePath) {
  if (sim::takeReadFault(devicePath)) {
    errno = EIO;
    return -1;
  }
  return openInDevice(devicePath, O_RDONLY | O_NONBLOCK | O_NOCTTY).release();
}

bool statFile(const std::string& devicePath, struct stat& status) {
  std::string folderPath, name;
  if (!sim::splitDevicePath(devicePath, &folderPath, &name)) {
    errno = ENOENT;
    return false;
  }
  const int root = sim::deviceRootFd();
  if (root < 0) return false;
  sim::Descriptor folder = sim::openFolderInRoot(root, folderPath, false);
  if (!folder.valid() || fstatat(folder.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (!S_ISLNK(status.st_mode)) return true;
  // A link is followed as the device would follow it, inside the root.
  sim::Descriptor file = sim::openInRoot(root, devicePath, O_PATH);
  return file.valid() && fstat(file.get(), &status) == 0;
}

bool renameFile(const std::string& from, const std::string& to) { return sim::moveDeviceFile(from, to); }

int openLockFile(const std::string& devicePath) {
  return openInDevice(devicePath + ".lock", O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0644).release();
}

}  // namespace adapter

namespace standin {

void setFileSystemRoot(const std::string& folder) {
  sim::setDeviceRoot(folder);
  installFoundationFileMethods();
}

}  // namespace standin
