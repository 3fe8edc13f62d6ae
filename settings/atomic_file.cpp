#include "settings/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>

#include "settings/write_steps.h"

namespace settings {
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

// Temporary files of a target are named ".<target>.tmp-<32 hex digits>".
std::string temporaryPrefix(const std::string& path) { return "." + baseOf(path) + ".tmp-"; }

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

// Removes the temporary files of `path` whose writer has died: a live writer
// holds a lock on its temporary file until it has been renamed.
void removeLeftovers(const std::string& folder, const std::string& prefix) {
  // openat and unlinkat keep every step inside the folder listed. A system
  // older than them (iOS 7) links them weakly, as null: its leftovers then
  // wait for a writer on a system that has them.
  int (*const volatile openAt)(int, const char*, int, ...) = &openat;
  if (!openAt) return;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  const int dirFd = dirfd(dir);
  while (dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.substr(0, prefix.size()) != prefix) continue;
    int fd = openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
      unlinkat(dirFd, entry->d_name, 0);
    close(fd);
  }
  closedir(dir);
}

// Creates, locks and returns a new temporary file for `path`; -1 on failure.
int createTemporary(const std::string& folder, const std::string& prefix, std::string& name) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    name = folder + "/" + prefix + randomHex();
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    // Another writer cleaning up may have taken the file for a leftover in
    // the moment before it was locked; then start again.
    struct stat mine {}, named {};
    if (flock(fd, LOCK_EX) == 0 && fstat(fd, &mine) == 0 && lstat(name.c_str(), &named) == 0 &&
        mine.st_ino == named.st_ino && mine.st_dev == named.st_dev)
      return fd;
    close(fd);
  }
  return -1;
}

}  // namespace

void setWriteStepObserver(WriteStepObserver observer) { gObserver.store(observer); }

bool readWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  // Non-blocking: a FIFO put at the path must not hang the reader.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::size_t>(st.st_size) > maxBytes) {
    close(fd);
    return false;
  }
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
      close(fd);
      bytes.resize(have);
      return true;
    }
    have += static_cast<std::size_t>(n);
  }
  close(fd);
  bytes.clear();
  return false;
}

bool replaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string folder = folderOf(path);
  const std::string prefix = temporaryPrefix(path);
  removeLeftovers(folder, prefix);

  struct stat old {};
  const bool replacingFile = lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  std::string name;
  int fd = createTemporary(folder, prefix, name);
  if (fd < 0) return false;
  step(WriteStep::Created);

  bool ok = true;
  if (geteuid() == 0) {
    struct stat owner {};
    if (replacingFile) owner = old;
    else ok = stat(folder.c_str(), &owner) == 0;
    ok = ok && fchown(fd, owner.st_uid, owner.st_gid) == 0;
  }
  // After the owner: changing it clears set-id bits.
  ok = ok && fchmod(fd, replacingFile ? (old.st_mode & 07777) : 0644) == 0;
  ok = ok && writeAll(fd, bytes) && fsync(fd) == 0;
  if (ok) step(WriteStep::Synced);
  ok = ok && rename(name.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(name.c_str());
    close(fd);
    return false;
  }
  step(WriteStep::Renamed);
  close(fd);
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  step(WriteStep::FolderSynced);
  return true;
}

}  // namespace settings
