#include "sim/plist/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "sim/plist/write_steps.h"

namespace plist {
namespace {

std::atomic<WriteStepObserver> gObserver{nullptr};

void step(WriteStep s) {
  if (WriteStepObserver observer = gObserver.load()) observer(s);
}

constexpr std::size_t kChunk = 64 * 1024;

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), std::min(bytes.size(), kChunk));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
    step(WriteStep::Wrote);
  }
  return true;
}

std::string folderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string randomHex() {
  unsigned char random[16];
  // /dev/urandom rather than getrandom(), which only Linux has.
  int source = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  bool filled = source >= 0 && read(source, random, sizeof random) == static_cast<ssize_t>(sizeof random);
  if (source >= 0) close(source);
  if (!filled) {
    // Without the kernel's generator the name is still unique: O_EXCL and
    // the retries take care of a clash.
    static std::atomic<unsigned> counter{0};
    auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                (static_cast<unsigned long long>(getpid()) << 32) ^ counter++;
    for (auto& b : random) {
      seed = seed * 6364136223846793005ull + 1442695040888963407ull;
      b = static_cast<unsigned char>(seed >> 56);
    }
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : random) {
    hex += kHex[b >> 4];
    hex += kHex[b & 15];
  }
  return hex;
}

// The folder a replacement works in, by descriptor, so that every step stays
// inside the folder opened however its path changes meanwhile.
class Folder {
 public:
  explicit Folder(int fd) : fd_(fd) {}

  int fd() const { return fd_; }
  int open(const std::string& name, int flags, mode_t mode = 0) const { return openat(fd_, name.c_str(), flags, mode); }
  // lstat of an entry: a link is reported, not followed.
  bool stat(const std::string& name, struct stat& st) const {
    return fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  }
  bool rename(const std::string& from, const std::string& to) const {
    return renameat(fd_, from.c_str(), fd_, to.c_str()) == 0;
  }
  void unlink(const std::string& name) const { unlinkat(fd_, name.c_str(), 0); }
  // A listing of the folder, closed with closedir; null on failure.
  DIR* list() const {
    int listFd = openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return nullptr;
    DIR* dir = fdopendir(listFd);
    if (!dir) close(listFd);
    return dir;
  }

 private:
  int fd_;
};

// Removes the temporary files of a target whose writer has died: a live
// writer holds a lock on its temporary file until it has been renamed.
void removeLeftovers(const Folder& folder, const std::string& prefix) {
  DIR* dir = folder.list();
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.substr(0, prefix.size()) != prefix) continue;
    int fd = folder.open(entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
      folder.unlink(entry->d_name);
    close(fd);
  }
  closedir(dir);
}

// Creates, locks and returns a new temporary file in the folder; -1 on
// failure.
int createTemporary(const Folder& folder, const std::string& prefix, std::string& name) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    name = prefix + randomHex();
    int fd = folder.open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    // Another writer cleaning up may have taken the file for a leftover in
    // the moment before it was locked; then start again.
    struct stat mine {}, named {};
    if (flock(fd, LOCK_EX) == 0 && fstat(fd, &mine) == 0 && folder.stat(name, named) &&
        mine.st_ino == named.st_ino && mine.st_dev == named.st_dev)
      return fd;
    close(fd);
  }
  return -1;
}

bool replaceIn(const Folder& folder, const std::string& name, std::string_view bytes,
               const std::function<bool()>& beforeRename) {
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
    errno = EINVAL;
    return false;
  }
  // Temporary files of a target are named ".<target>.tmp-<32 hex digits>".
  const std::string prefix = "." + name + ".tmp-";
  removeLeftovers(folder, prefix);

  struct stat old {};
  const bool replacingFile = folder.stat(name, old) && S_ISREG(old.st_mode);
  std::string temporary;
  int fd = createTemporary(folder, prefix, temporary);
  if (fd < 0) return false;
  step(WriteStep::Created);

  bool ok = true;
  if (geteuid() == 0) {
    struct stat owner {};
    if (replacingFile) owner = old;
    else ok = fstat(folder.fd(), &owner) == 0;
    ok = ok && fchown(fd, owner.st_uid, owner.st_gid) == 0;
  }
  // After the owner: changing it clears set-id bits.
  ok = ok && fchmod(fd, replacingFile ? (old.st_mode & 07777) : 0644) == 0;
  ok = ok && writeAll(fd, bytes) && fsync(fd) == 0;
  if (ok) step(WriteStep::Synced);
  if (ok && beforeRename && !beforeRename()) {
    ok = false;
    errno = 0;
  }
  ok = ok && folder.rename(temporary, name);
  if (!ok) {
    // The step that failed says why, not the clean-up.
    const int error = errno;
    folder.unlink(temporary);
    close(fd);
    errno = error;
    return false;
  }
  step(WriteStep::Renamed);
  close(fd);
  fsync(folder.fd());
  step(WriteStep::FolderSynced);
  return true;
}

}  // namespace

void setWriteStepObserver(WriteStepObserver observer) { gObserver.store(observer); }

bool readWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  // Non-blocking: a FIFO put at the path must not hang the reader.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool read = readWholeOpenFile(fd, bytes, maxBytes);
  close(fd);
  return read;
}

bool readWholeOpenFile(int fd, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::size_t>(st.st_size) > maxBytes) return false;
  // One byte more than the size shows whether the file grew meanwhile.
  bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) {
      if (bytes.size() > maxBytes) break;
      bytes.resize(std::min(bytes.size() * 2, maxBytes + 1));
    }
    ssize_t n = read(fd, bytes.data() + have, bytes.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    if (n == 0) {
      bytes.resize(have);
      return true;
    }
    have += static_cast<std::size_t>(n);
  }
  bytes.clear();
  return false;
}

bool replaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string folderPath = folderOf(path);
  int folderFd = open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd < 0) return false;
  const bool replaced = replaceIn(Folder(folderFd), baseOf(path), bytes, {});
  const int error = errno;
  close(folderFd);
  errno = error;
  return replaced;
}

bool replaceFileAtomicallyAt(int folderFd, const std::string& name, std::string_view bytes,
                             const std::function<bool()>& beforeRename) {
  return replaceIn(Folder(folderFd), name, bytes, beforeRename);
}

}  // namespace plist
