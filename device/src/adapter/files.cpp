// host.h's file operations: preferences files through the preferences
// daemon where the host has one, every other file directly.
#include <cstdio>

#include "device/src/adapter/file_system.h"
#include "device/src/adapter/preferences_domain.h"
#include "device/src/adapter/preferences_store.h"
#include "host/host.h"
#include "settings/atomic_file.h"
#include "settings/checked_read.h"
#include "settings/writer_lock.h"

namespace host {

FileRead readFileChecked(const char* devicePath, std::string& bytes) {
  bytes.clear();
  if (!devicePath) return FileRead::kAbsent;
  if (auto domain = adapter::preferencesDomainFor(devicePath, coreFoundationVersion()))
    return adapter::readPreferences(*domain, bytes);
  return settings::readFileChecked(adapter::fileSystemPath(devicePath), bytes);
}

bool readFile(const char* devicePath, std::string& bytes) {
  return readFileChecked(devicePath, bytes) == FileRead::kRead;
}

bool moveFile(const char* from, const char* to) {
  if (!from || !to) return false;
  return std::rename(adapter::fileSystemPath(from).c_str(), adapter::fileSystemPath(to).c_str()) == 0;
}

// The lock is taken on the file system even for files the preferences daemon
// writes: it orders our writers' reads and replacements through the daemon.
struct WriterLock {
  int fd;
};

WriterLock* lockForWriting(const char* devicePath) {
  if (!devicePath) return nullptr;
  const int fd = settings::lockWriters(adapter::fileSystemPath(devicePath));
  return fd < 0 ? nullptr : new WriterLock{fd};
}

void unlockWriting(WriterLock* lock) {
  if (!lock) return;
  settings::unlockWriters(lock->fd);
  delete lock;
}

bool replaceFile(const char* devicePath, std::string_view bytes) {
  if (!devicePath) return false;
  if (auto domain = adapter::preferencesDomainFor(devicePath, coreFoundationVersion()))
    return adapter::replacePreferences(*domain, bytes);
  return settings::replaceFileAtomically(adapter::fileSystemPath(devicePath), bytes);
}

}  // namespace host
