#include "sim/plist/writer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace plist {

int lockWriters(const std::string& path) {
  const std::string lockPath = path + ".lock";
  // Non-blocking open: a FIFO planted at the path must not hang the writer.
  int fd = open(lockPath.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return -1;
  }
  int locked;
  do {
    locked = flock(fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void unlockWriters(int fd) {
  if (fd < 0) return;
  flock(fd, LOCK_UN);
  close(fd);
}

}  // namespace plist
