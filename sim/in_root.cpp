#include "sim/in_root.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

namespace sim {
namespace {

// The names of a device path, with "." dropped and ".." applied lexically
// (never above the root).
std::vector<std::string> namesOf(std::string_view devicePath) {
  std::vector<std::string> names;
  std::size_t i = 0;
  while (i < devicePath.size()) {
    std::size_t end = devicePath.find('/', i);
    if (end == std::string_view::npos) end = devicePath.size();
    std::string_view name = devicePath.substr(i, end - i);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.emplace_back(name);
    }
    i = end + 1;
  }
  return names;
}

// The path relative to the root that openat2 resolves: "." for the root.
std::string relativeOf(std::string_view devicePath) {
  while (!devicePath.empty() && devicePath.front() == '/') devicePath.remove_prefix(1);
  return devicePath.empty() ? std::string(".") : std::string(devicePath);
}

// openat2 in the root; -1 with errno ENOSYS where the kernel lacks it.
int openat2InRoot(int rootFd, const std::string& relative, int flags, mode_t mode) {
#ifdef SYS_openat2
  open_how how{};
  how.flags = static_cast<unsigned long long>(flags | O_CLOEXEC);
  how.mode = (flags & O_CREAT) ? mode : 0;
  how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
  for (int attempt = 0;; ++attempt) {
    long fd = syscall(SYS_openat2, rootFd, relative.c_str(), &how, sizeof how);
    // EAGAIN: a rename elsewhere raced the resolution; try again.
    if (fd < 0 && errno == EAGAIN && attempt < 8) continue;
    return static_cast<int>(fd);
  }
#else
  (void)rootFd, (void)relative, (void)flags, (void)mode;
  errno = ENOSYS;
  return -1;
#endif
}

}  // namespace

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = other.release();
  }
  return *this;
}

Descriptor::~Descriptor() {
  if (fd_ >= 0) close(fd_);
}

int Descriptor::release() { return std::exchange(fd_, -1); }

Descriptor openRootFolder(const std::string& root) {
  return Descriptor(open(root.empty() ? "/" : root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

Descriptor openInRootWithoutLinks(int rootFd, std::string_view devicePath, int flags, mode_t mode) {
  const std::vector<std::string> names = namesOf(devicePath);
  Descriptor folder(fcntl(rootFd, F_DUPFD_CLOEXEC, 0));
  if (!folder.valid()) return folder;
  if (names.empty()) return Descriptor(openat(folder.get(), ".", flags | O_CLOEXEC, mode));
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    folder = Descriptor(openat(folder.get(), names[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid()) return folder;
  }
  return Descriptor(openat(folder.get(), names.back().c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode));
}

Descriptor openInRoot(int rootFd, std::string_view devicePath, int flags, mode_t mode) {
  int fd = openat2InRoot(rootFd, relativeOf(devicePath), flags, mode);
  if (fd >= 0 || errno != ENOSYS) return Descriptor(fd);
  return openInRootWithoutLinks(rootFd, devicePath, flags, mode);
}

Descriptor openFolderInRoot(int rootFd, std::string_view devicePath, bool create) {
  constexpr int kFolder = O_RDONLY | O_DIRECTORY;
  Descriptor whole = openInRoot(rootFd, devicePath, kFolder);
  if (whole.valid() || errno != ENOENT || !create) return whole;
  // Walk down from the root, making each missing folder inside the one
  // before it. A name made here is opened without following links, so a
  // link planted in the meantime fails rather than leads elsewhere.
  Descriptor folder(fcntl(rootFd, F_DUPFD_CLOEXEC, 0));
  std::string prefix;
  for (const std::string& name : namesOf(devicePath)) {
    if (!folder.valid()) return folder;
    prefix += "/" + name;
    Descriptor next = openInRoot(rootFd, prefix, kFolder);
    if (!next.valid() && errno == ENOENT) {
      if (mkdirat(folder.get(), name.c_str(), 0755) != 0 && errno != EEXIST) return Descriptor();
      next = Descriptor(openat(folder.get(), name.c_str(), kFolder | O_NOFOLLOW | O_CLOEXEC));
    }
    folder = std::move(next);
  }
  return folder;
}

bool splitDevicePath(std::string_view devicePath, std::string* folder, std::string* name) {
  const std::size_t slash = devicePath.rfind('/');
  std::string_view last = slash == std::string_view::npos ? devicePath : devicePath.substr(slash + 1);
  if (last.empty() || last == "." || last == "..") return false;
  *name = std::string(last);
  *folder = slash == std::string_view::npos ? std::string("/") : std::string(devicePath.substr(0, slash + 1));
  return true;
}

}  // namespace sim
