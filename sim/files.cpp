// Device paths mapped onto the device root, with injected read and write
// faults. Reads and writes resolve inside the root (sim/in_root.h).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "host/host.h"
#include "settings/atomic_file.h"
#include "sim/device.h"
#include "sim/device_files.h"
#include "sim/in_root.h"
#include "sim/journal.h"

namespace sim {
namespace {

std::multiset<std::string>& readFaults() {
  static auto* faults = new std::multiset<std::string>;
  return *faults;
}

std::multiset<std::string>& writeFaults() {
  static auto* faults = new std::multiset<std::string>;
  return *faults;
}

// Consumes one pending fault for `path`; true when there was one.
bool takeFault(std::multiset<std::string>& faults, const std::string& path) {
  auto it = faults.find(path);
  if (it == faults.end()) return false;
  faults.erase(it);
  return true;
}

}  // namespace

std::string hostPath(const std::string& devicePath) {
  std::string root = booted() ? bootOptions().root : std::string();
  if (!root.empty() && root.back() == '/') root.pop_back();
  if (devicePath.empty() || devicePath.front() != '/') return root + "/" + devicePath;
  return root + devicePath;
}

std::string rootPath() { return booted() ? bootOptions().root : std::string(); }

bool readDeviceFile(const std::string& devicePath, std::string& bytes) {
  bytes.clear();
  Descriptor root = openRootFolder(rootPath());
  if (!root.valid()) return false;
  // Non-blocking: a FIFO put at the path must not hang the reader.
  Descriptor file = openInRoot(root.get(), devicePath, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  return file.valid() && settings::readWholeOpenFile(file.get(), bytes);
}

bool replaceDeviceFile(const std::string& devicePath, std::string_view bytes, bool createFolders) {
  std::string folderPath, name;
  if (!splitDevicePath(devicePath, &folderPath, &name)) return false;
  Descriptor root = openRootFolder(rootPath());
  if (!root.valid()) return false;
  Descriptor folder = openFolderInRoot(root.get(), folderPath, createFolders);
  return folder.valid() && settings::replaceFileAtomicallyAt(folder.get(), name, bytes);
}

bool makeDeviceFolder(const std::string& devicePath) {
  Descriptor root = openRootFolder(rootPath());
  return root.valid() && openFolderInRoot(root.get(), devicePath, true).valid();
}

bool removeDeviceFile(const std::string& devicePath, bool* existed) {
  *existed = false;
  std::string folderPath, name;
  if (!splitDevicePath(devicePath, &folderPath, &name)) return false;
  Descriptor root = openRootFolder(rootPath());
  if (!root.valid()) return false;
  Descriptor folder = openFolderInRoot(root.get(), folderPath, false);
  if (!folder.valid()) return errno == ENOENT;
  if (unlinkat(folder.get(), name.c_str(), 0) == 0) {
    *existed = true;
    return true;
  }
  return errno == ENOENT;
}

void failNextRead(const std::string& devicePath) { readFaults().insert(devicePath); }
void failNextWrite(const std::string& devicePath) { writeFaults().insert(devicePath); }

void clearFileFaults() {
  readFaults().clear();
  writeFaults().clear();
}

}  // namespace sim

namespace host {

bool readFile(const char* devicePath, std::string& bytes) {
  bytes.clear();
  if (!devicePath) return false;
  sim::journal("readFile", devicePath);
  // A path that climbs out of the device root is not on the device.
  if (std::string_view(devicePath).find("/../") != std::string_view::npos) return false;
  if (sim::takeFault(sim::readFaults(), devicePath)) return false;
  return sim::readDeviceFile(devicePath, bytes);
}

bool replaceFile(const char* devicePath, std::string_view bytes) {
  if (!devicePath) return false;
  sim::journal("replaceFile", devicePath);
  if (std::string_view(devicePath).find("/../") != std::string_view::npos) return false;
  if (sim::takeFault(sim::writeFaults(), devicePath)) return false;
  return sim::replaceDeviceFile(devicePath, bytes, false);
}

}  // namespace host
