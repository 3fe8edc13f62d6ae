#include "sim/writers_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sim {
namespace {

bool (*stopCheck)() = nullptr;

WritersLock failed(LockFailure failure, int error = 0) {
  WritersLock lock;
  lock.failure = failure;
  lock.error = error;
  return lock;
}

LockFailure openFailure(int error) {
  switch (error) {
    case EISDIR: return LockFailure::kFolder;
    case ELOOP: return LockFailure::kLink;
    case ENXIO:
    case ENODEV: return LockFailure::kNotAFile;
    case EACCES:
    case EPERM: return LockFailure::kNoAccess;
    default: return LockFailure::kFailed;
  }
}

void sleepFor(std::chrono::nanoseconds span) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(span);
  timespec pause{static_cast<time_t>(seconds.count()), static_cast<long>((span - seconds).count())};
  // A caught signal ends the pause early, which is what the stop check wants.
  nanosleep(&pause, nullptr);
}

}  // namespace

WritersLock takeWritersLock(int folder, const std::string& name, std::chrono::milliseconds wait) {
  using Clock = std::chrono::steady_clock;
  const std::string lockName = name + ".lock";
  // Non-blocking open: a FIFO planted at the path must not hang the writer.
  Descriptor file(openat(folder, lockName.c_str(),
                         O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644));
  if (!file.valid()) {
    const int error = errno;
    // Nothing at the path: the open failed making the file.
    struct stat there {};
    if (fstatat(folder, lockName.c_str(), &there, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT)
      return failed(LockFailure::kNotCreated, error);
    return failed(openFailure(error), error);
  }
  struct stat st {};
  if (fstat(file.get(), &st) != 0) return failed(LockFailure::kFailed, errno);
  if (!S_ISREG(st.st_mode)) return failed(S_ISDIR(st.st_mode) ? LockFailure::kFolder : LockFailure::kNotAFile);

  // Tries without blocking and sleeps between tries, at most 10 ms at a
  // time, so that both the deadline and a stop request are seen promptly.
  const auto deadline = Clock::now() + wait;
  std::chrono::nanoseconds pause = std::chrono::milliseconds(1);
  for (;;) {
    if (flock(file.get(), LOCK_EX | LOCK_NB) == 0) {
      WritersLock lock;
      lock.file = std::move(file);
      return lock;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) return failed(LockFailure::kFailed, errno);
    if (stopCheck && stopCheck()) return failed(LockFailure::kInterrupted);
    const auto now = Clock::now();
    if (now >= deadline) {
      WritersLock timedOut = failed(LockFailure::kTimedOut);
      timedOut.wait = wait;
      return timedOut;
    }
    sleepFor(std::min<std::chrono::nanoseconds>(pause, deadline - now));
    pause = std::min<std::chrono::nanoseconds>(pause * 2, std::chrono::milliseconds(10));
  }
}

void setLockWaitStop(bool (*stopRequested)()) { stopCheck = stopRequested; }

std::string describeLockFailure(const WritersLock& lock) {
  const std::string error = lock.error ? std::string(": ") + std::strerror(lock.error) : std::string();
  switch (lock.failure) {
    case LockFailure::kNone: return "it is held";
    case LockFailure::kNoFolder: return "the file's folder cannot be opened" + error;
    case LockFailure::kFolder: return "a folder is in the way of its lock file";
    case LockFailure::kLink: return "a symbolic link is in the way of its lock file";
    case LockFailure::kNotAFile: return "its lock file is not a regular file";
    case LockFailure::kNotCreated: return "its lock file cannot be created" + error;
    case LockFailure::kNoAccess: return "its lock file cannot be opened" + error;
    case LockFailure::kFailed: return "its lock file cannot be locked" + error;
    case LockFailure::kTimedOut:
      return "another writer held it throughout the wait of " + std::to_string(lock.wait.count()) + " ms";
    case LockFailure::kInterrupted: return "interrupted while waiting for it";
  }
  return "unknown";
}

}  // namespace sim
