// Device paths opened inside a device root. The root stands for the device's
// "/": a symbolic link resolves as the device would resolve it, so an
// absolute link target or a ".." climbs no higher than the root, and no link
// leads to a file outside it. On a kernel without openat2 every link on the
// way is refused instead.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace sim {

// An owned file descriptor, closed when it goes; -1 when none.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor();

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release();

 private:
  int fd_ = -1;
};

// Opens the folder `root` itself (following links: the user named it).
Descriptor openRootFolder(const std::string& root);

// Opens `devicePath` below the root open at `rootFd` with open(2) `flags`
// (and `mode` with O_CREAT). Invalid, with errno set, when it cannot.
Descriptor openInRoot(int rootFd, std::string_view devicePath, int flags, mode_t mode = 0);

// The same without openat2: every part of the path is opened with
// O_NOFOLLOW, so any symbolic link on the way fails with ELOOP (or ENOTDIR);
// ".." is taken lexically and stops at the root.
Descriptor openInRootWithoutLinks(int rootFd, std::string_view devicePath, int flags, mode_t mode = 0);

// Opens the folder at `devicePath` below the root; with `create`, makes the
// folders missing on the way (mode 0755). Invalid, with errno set, when a
// part of the path is not a folder or cannot be made.
Descriptor openFolderInRoot(int rootFd, std::string_view devicePath, bool create);

// Splits a device path into its folder and its last name ("/a/b" gives "/a"
// and "b"). False when there is no last name ("/", "", "/a/").
bool splitDevicePath(std::string_view devicePath, std::string* folder, std::string* name);

}  // namespace sim
