#include "adapter/writers_lock.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "adapter/file_system.h"

namespace adapter {
namespace {

constexpr int kAttempts = 200;
constexpr useconds_t kPause = 10000;  // 10 ms: 200 attempts wait about 2 s

}  // namespace

WritersLock::WritersLock(const std::string& path) {
  // Non-blocking open: a FIFO at the path must not hang the writer. Read
  // access is enough for flock, so a lock file made by root serves everyone.
  int fd = openLockFile(path);
  if (fd < 0) return;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return;
  }
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) break;
    usleep(kPause);
  }
  close(fd);
}

WritersLock::~WritersLock() {
  if (fd_ < 0) return;
  flock(fd_, LOCK_UN);
  close(fd_);
}

}  // namespace adapter
