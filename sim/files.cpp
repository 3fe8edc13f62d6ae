// Device paths mapped onto the device root, with injected read and write
// faults. Reads and writes resolve inside the root (sim/in_root.h).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <set>

#include "sim/plist/atomic_file.h"
#include "sim/plist/limits.h"
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

void (*beforeReplaceHook)(const std::string& devicePath) = nullptr;

std::string& rootFolder() {
  static auto* root = new std::string;
  return *root;
}

const std::string& rootPath() { return rootFolder(); }

// The device root, open once for every path of the device (a folder moved
// away meanwhile stays the device's root); -1 when it cannot be opened.
Descriptor& rootDescriptor() {
  static auto* root = new Descriptor;
  return *root;
}

// The folder of a device path, open inside the root, and the path's last
// name in it.
struct Placed {
  Descriptor folder;
  std::string name;
};

FileStamp stampOf(const struct stat& st) {
  FileStamp stamp;
  stamp.present = true;
  stamp.device = static_cast<std::uint64_t>(st.st_dev);
  stamp.inode = static_cast<std::uint64_t>(st.st_ino);
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  stamp.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  return stamp;
}

std::optional<Placed> placeInRoot(const std::string& devicePath, bool createFolders = false) {
  std::string folderPath;
  Placed placed;
  if (!splitDevicePath(devicePath, &folderPath, &placed.name)) return std::nullopt;
  const int root = deviceRootFd();
  if (root < 0) return std::nullopt;
  placed.folder = openFolderInRoot(root, folderPath, createFolders);
  if (!placed.folder.valid()) return std::nullopt;
  return placed;
}

}  // namespace

void setDeviceRoot(const std::string& root) {
  rootFolder() = root;
  rootDescriptor() = Descriptor();
}

int deviceRootFd() {
  Descriptor& root = rootDescriptor();
  if (!root.valid()) root = openRootFolder(rootPath());
  return root.get();
}

std::string hostPath(const std::string& devicePath) {
  std::string root = rootPath();
  if (!root.empty() && root.back() == '/') root.pop_back();
  if (devicePath.empty() || devicePath.front() != '/') return root + "/" + devicePath;
  return root + devicePath;
}

bool readDeviceFile(const std::string& devicePath, std::string& bytes) {
  bytes.clear();
  const int root = deviceRootFd();
  if (root < 0) return false;
  // Non-blocking: a FIFO put at the path must not hang the reader.
  Descriptor file = openInRoot(root, devicePath, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  return file.valid() && plist::readWholeOpenFile(file.get(), bytes);
}

int& replacements() {
  static int count = 0;
  return count;
}

bool replaceDeviceFile(const std::string& devicePath, std::string_view bytes, bool createFolders) {
  auto placed = placeInRoot(devicePath, createFolders);
  const bool replaced = placed && plist::replaceFileAtomicallyAt(placed->folder.get(), placed->name, bytes);
  replacements() += replaced;
  return replaced;
}

int deviceFileReplacements() { return replacements(); }

FileStamp stampDeviceFile(const std::string& devicePath) {
  // Something that cannot be reached is stamped present and unlike any
  // file, so that it matches neither a file read nor the absence of one.
  FileStamp unknown;
  unknown.present = true;
  const int root = deviceRootFd();
  if (root < 0) return unknown;
  // Opened as a read opens it, so that a link inside the root leads to the
  // same file.
  Descriptor file = openInRoot(root, devicePath, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (!file.valid()) return errno == ENOENT || errno == ENOTDIR ? FileStamp() : unknown;
  struct stat st {};
  return fstat(file.get(), &st) == 0 ? stampOf(st) : unknown;
}

bool replaceDeviceFileIfUnchanged(const std::string& devicePath, std::string_view bytes, const FileStamp& expected,
                                  bool* changed) {
  *changed = false;
  auto placed = placeInRoot(devicePath);
  if (!placed) return false;
  const bool replaced = plist::replaceFileAtomicallyAt(placed->folder.get(), placed->name, bytes, [&] {
    if (beforeReplaceHook) beforeReplaceHook(devicePath);
    *changed = stampDeviceFile(devicePath) != expected;
    return !*changed;
  });
  replacements() += replaced;
  return replaced;
}

void setBeforeReplaceHook(void (*hook)(const std::string& devicePath)) { beforeReplaceHook = hook; }

bool makeDeviceFolder(const std::string& devicePath) {
  const int root = deviceRootFd();
  return root >= 0 && openFolderInRoot(root, devicePath, true).valid();
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

DeviceRead readDeviceFileChecked(const std::string& devicePath, std::string& bytes, std::string* why,
                                 FileStamp* stamp) {
  bytes.clear();
  if (stamp) *stamp = FileStamp();
  const auto fail = [why](DeviceRead result, const std::string& reason) {
    if (why) *why = reason;
    return result;
  };
  if (devicePath.find("/../") != std::string::npos) return DeviceRead::kAbsent;
  if (takeFault(readFaults(), devicePath)) return fail(DeviceRead::kFailed, "input/output error");
  const int root = deviceRootFd();
  if (root < 0) return fail(DeviceRead::kFailed, "the device root cannot be opened");
  // Non-blocking: a FIFO put at the path must not hang the reader.
  Descriptor file = openInRoot(root, devicePath, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (!file.valid()) {
    if (errno == ENOENT || errno == ENOTDIR) return DeviceRead::kAbsent;
    return fail(DeviceRead::kFailed, std::strerror(errno));
  }
  struct stat st {};
  if (fstat(file.get(), &st) != 0) return fail(DeviceRead::kFailed, std::strerror(errno));
  if (stamp) *stamp = stampOf(st);
  if (S_ISDIR(st.st_mode)) return fail(DeviceRead::kFailed, "it is a folder, not a file");
  if (!S_ISREG(st.st_mode)) return fail(DeviceRead::kFailed, "it is not a regular file");
  if (static_cast<unsigned long long>(st.st_size) > plist::kMaxFileBytes)
    return fail(DeviceRead::kTooLarge, "file is larger than the limit of " +
                                           std::to_string(plist::kMaxFileBytes >> 20) + " MiB");
  if (plist::readWholeOpenFile(file.get(), bytes)) return DeviceRead::kRead;
  return fail(DeviceRead::kFailed, errno ? std::strerror(errno) : "it could not be read whole");
}

bool takeReadFault(const std::string& devicePath) { return takeFault(readFaults(), devicePath); }

bool takeWriteFault(const std::string& devicePath) { return takeFault(writeFaults(), devicePath); }

int& moves() {
  static int count = 0;
  return count;
}

bool moveDeviceFile(const std::string& from, const std::string& to) {
  if (from.find("/../") != std::string::npos || to.find("/../") != std::string::npos) return false;
  auto source = placeInRoot(from), target = placeInRoot(to);
  const bool moved = source && target &&
                     renameat(source->folder.get(), source->name.c_str(), target->folder.get(),
                              target->name.c_str()) == 0;
  moves() += moved;
  return moved;
}

int deviceFileMoves() { return moves(); }

WritersLock lockDeviceFileWriters(const std::string& devicePath) {
  WritersLock lock;
  if (devicePath.find("/../") != std::string::npos) {
    lock.failure = LockFailure::kNoFolder;
  } else if (auto placed = placeInRoot(devicePath)) {
    lock = takeWritersLock(placed->folder.get(), placed->name);
  } else {
    lock.failure = LockFailure::kNoFolder;
    lock.error = errno;
  }
  if (!lock) journal("lockRefused", "cannot take the writers' lock of " + devicePath + ": " + describeLockFailure(lock));
  return lock;
}

}  // namespace sim
