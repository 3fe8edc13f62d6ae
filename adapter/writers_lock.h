// The writers' lock of a preferences file: the kernel's advisory lock
// (flock) on "<file>.lock", which every writer that reads, changes and
// replaces the file takes, so that edits of different keys made at the same
// moment are all kept. Readers never take it. It ends with the process that
// holds it, however that process ends.
#pragma once

#include <string>

namespace adapter {

class WritersLock {
 public:
  // Takes the lock of the file at device path `path`, waiting at most about
  // two seconds for another writer to finish.
  explicit WritersLock(const std::string& path);
  ~WritersLock();
  WritersLock(const WritersLock&) = delete;
  WritersLock& operator=(const WritersLock&) = delete;

  // False when the lock could not be had: its file cannot be opened or is
  // not a regular file, or another writer held it throughout the wait.
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace adapter
