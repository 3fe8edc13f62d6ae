// The writers' lock of a file on the simulated device: the kernel's flock(2)
// on "<name>.lock" beside the file. Writers that read, change and replace a
// file hold it so that their edits do not overwrite each other; a writer that
// cannot have it within a bounded wait is told why and must not write.
#pragma once

#include <chrono>
#include <string>

#include "sim/in_root.h"

namespace sim {

// How long a writer waits for another writer's lock before giving up.
inline constexpr std::chrono::milliseconds kWritersLockWait{5000};

// Why a writer has no lock.
enum class LockFailure {
  kNone,         // the lock is held
  kNoFolder,     // the file's folder cannot be opened inside the root
  kFolder,       // a folder is at the lock's path
  kLink,         // a symbolic link is at the lock's path (never followed)
  kNotAFile,     // something else that is not a regular file is there
  kNotCreated,   // there is no lock file and it cannot be made (no room,
                 // no inode, no permission, a read-only file system)
  kNoAccess,     // the lock's file cannot be opened (permission)
  kFailed,       // opening or locking failed otherwise
  kTimedOut,     // another writer held it for the whole wait
  kInterrupted,  // the wait stopped on a caught signal
};

// A lock taken, or why not. The lock ends with the descriptor: when it is
// released, closed, or its process ends in any way.
struct WritersLock {
  Descriptor file;
  LockFailure failure = LockFailure::kNone;
  int error = 0;                      // errno of kNotCreated, kNoAccess, kFailed
  std::chrono::milliseconds wait{0};  // the wait that ran out, for kTimedOut
  explicit operator bool() const { return failure == LockFailure::kNone; }
};

// Takes the exclusive lock on "<name>.lock" in the folder open at `folder`,
// creating that file (0644) when it is missing. Only a regular file serves:
// a link is never followed and a FIFO never opened for long. A shared
// descriptor is enough for flock, so a lock file made by root serves other
// users too. Waits at most `wait` for another holder, and stops waiting as
// soon as the stop check (setLockWaitStop) says so.
WritersLock takeWritersLock(int folder, const std::string& name,
                            std::chrono::milliseconds wait = kWritersLockWait);

// Installs the check a waiting writer asks, several times a second and after
// every caught signal, whether to give up (a program's interrupt flag).
// Null: never.
void setLockWaitStop(bool (*stopRequested)());

// Why there is no lock, as the end of "cannot take the writers' lock: ...".
std::string describeLockFailure(const WritersLock& lock);

}  // namespace sim
