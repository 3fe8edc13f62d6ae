// Device paths mapped onto the device root, with injected read and write
// faults. Reads and writes resolve inside the root (sim/in_root.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <set>

#include "host/host.h"
#include "settings/atomic_file.h"
#include "settings/limits.h"
#include "settings/writer_lock.h"
#include "sim/device.h"
#include "sim/device_files.h"
#include "sim/in_root.h"
#include "sim/journal.h"
#include "sim/writers_lock.h"

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

std::string rootPath() { return booted() ? bootOptions().root : std::string(); }

// The folder of a device path, open inside the root, and the path's last
// name in it.
struct Placed {
  Descriptor folder;
  std::string name;
};

std::optional<Placed> placeInRoot(const std::string& devicePath, bool createFolders = false) {
  std::string folderPath;
  Placed placed;
  if (!splitDevicePath(devicePath, &folderPath, &placed.name)) return std::nullopt;
  Descriptor root = openRootFolder(rootPath());
  if (!root.valid()) return std::nullopt;
  placed.folder = openFolderInRoot(root.get(), folderPath, createFolders);
  if (!placed.folder.valid()) return std::nullopt;
  return placed;
}

}  // namespace

std::string hostPath(const std::string& devicePath) {
  std::string root = booted() ? bootOptions().root : std::string();
  if (!root.empty() && root.back() == '/') root.pop_back();
  if (devicePath.empty() || devicePath.front() != '/') return root + "/" + devicePath;
  return root + devicePath;
}

bool readDeviceFile(const std::string& devicePath, std::string& bytes) {
  bytes.clear();
  Descriptor root = openRootFolder(rootPath());
  if (!root.valid()) return false;
  // Non-blocking: a FIFO put at the path must not hang the reader.
  Descriptor file = openInRoot(root.get(), devicePath, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  return file.valid() && settings::readWholeOpenFile(file.get(), bytes);
}

bool replaceDeviceFile(const std::string& devicePath, std::string_view bytes, bool createFolders) {
  auto placed = placeInRoot(devicePath, createFolders);
  return placed && settings::replaceFileAtomicallyAt(placed->folder.get(), placed->name, bytes);
}

bool makeDeviceFolder(const std::string& devicePath) {
  Descriptor root = openRootFolder(rootPath());
  return root.valid() && openFolderInRoot(root.get(), devicePath, true).valid();
}

bool removeDeviceFile(const std::string& devicePath, bool* existed) {
  *existed = false;
  errno = 0;
  auto placed = placeInRoot(devicePath);
  if (!placed) return errno == ENOENT;
  if (unlinkat(placed->folder.get(), placed->name.c_str(), 0) == 0) {
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
  return readFileChecked(devicePath, bytes) == FileRead::kRead;
}

bool replaceFile(const char* devicePath, std::string_view bytes) {
  if (!devicePath) return false;
  sim::journal("replaceFile", devicePath);
  if (std::string_view(devicePath).find("/../") != std::string_view::npos) return false;
  if (sim::takeFault(sim::writeFaults(), devicePath)) return false;
  return sim::replaceDeviceFile(devicePath, bytes, false);
}

FileRead readFileChecked(const char* devicePath, std::string& bytes) {
  bytes.clear();
  if (!devicePath) return FileRead::kAbsent;
  sim::journal("readFile", devicePath);
  if (std::string_view(devicePath).find("/../") != std::string_view::npos) return FileRead::kAbsent;
  if (sim::takeFault(sim::readFaults(), devicePath)) return FileRead::kFailed;
  sim::Descriptor root = sim::openRootFolder(sim::rootPath());
  if (!root.valid()) return FileRead::kFailed;
  // Non-blocking: a FIFO put at the path must not hang the reader.
  sim::Descriptor file = sim::openInRoot(root.get(), devicePath, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (!file.valid()) return errno == ENOENT || errno == ENOTDIR ? FileRead::kAbsent : FileRead::kFailed;
  if (settings::readWholeOpenFile(file.get(), bytes)) return FileRead::kRead;
  struct stat st {};
  if (fstat(file.get(), &st) == 0 && S_ISREG(st.st_mode) &&
      static_cast<unsigned long long>(st.st_size) > settings::kMaxFileBytes)
    return FileRead::kTooLarge;
  return FileRead::kFailed;
}

bool moveFile(const char* from, const char* to) {
  if (!from || !to) return false;
  sim::journal("moveFile", std::string(from) + " " + to);
  if (std::string_view(from).find("/../") != std::string_view::npos ||
      std::string_view(to).find("/../") != std::string_view::npos)
    return false;
  auto source = sim::placeInRoot(from), target = sim::placeInRoot(to);
  return source && target &&
         renameat(source->folder.get(), source->name.c_str(), target->folder.get(), target->name.c_str()) == 0;
}

struct WriterLock {
  int fd;
};

WriterLock* lockForWriting(const char* devicePath) {
  if (!devicePath) return nullptr;
  sim::journal("lockForWriting", devicePath);
  sim::WritersLock lock;
  if (std::string_view(devicePath).find("/../") != std::string_view::npos) {
    lock.failure = sim::LockFailure::kNoFolder;
  } else if (auto placed = sim::placeInRoot(devicePath)) {
    lock = sim::takeWritersLock(placed->folder.get(), placed->name);
  } else {
    lock.failure = sim::LockFailure::kNoFolder;
    lock.error = errno;
  }
  if (lock) return new WriterLock{lock.file.release()};
  // The writer refuses its edit; the simulator reports why.
  const std::string why = std::string("cannot take the writers' lock of ") + devicePath + ": " +
                          sim::describeLockFailure(lock);
  sim::journal("lockRefused", why);
  sim::noteLockRefusal(why);
  return nullptr;
}

void unlockWriting(WriterLock* lock) {
  if (!lock) return;
  sim::journal("unlockWriting", "");
  settings::unlockWriters(lock->fd);
  delete lock;
}

}  // namespace host
