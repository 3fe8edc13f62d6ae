#include "adapter/preferences_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "adapter/preference_values.h"
#include "adapter/writers_lock.h"

namespace adapter {
namespace {

NSString* pathString(const std::string& path) { return [NSString stringWithUTF8String:path.c_str()]; }

}  // namespace

FileProbe probePreferencesFile(const std::string& path) {
  using host::PreferencesStatus;
  // Foundation answers nil alike for a file it cannot open and one it cannot
  // parse; a writer must replace only the second, so the first is told by
  // opening the file and reading a byte of it.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return {};
    return {PreferencesStatus::kFailed, nil, std::strerror(errno)};
  }
  struct stat st {};
  const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  char byte;
  const ssize_t got = regular ? read(fd, &byte, 1) : 0;
  const int error = errno;
  close(fd);
  if (!regular) return {PreferencesStatus::kFailed, nil, "not a regular file"};
  if (got < 0) return {PreferencesStatus::kFailed, nil, std::strerror(error)};
  NSDictionary* values = [NSDictionary dictionaryWithContentsOfFile:pathString(path)];
  if (!values) return {PreferencesStatus::kUnreadable, nil, "not a property list with a dictionary at its root"};
  return {PreferencesStatus::kRead, values, {}};
}

bool keepUnreadableAside(const std::string& path) {
  NSData* bytes = [NSData dataWithContentsOfFile:pathString(path)];
  return bytes && [bytes writeToFile:pathString(path + ".unreadable") atomically:YES];
}

host::PreferencesRead readPreferencesFile(const std::string& path, std::span<const std::string_view> keys) {
  FileProbe found = probePreferencesFile(path);
  return {found.status, found.why, valuesOf(found.values, keys)};
}

host::PreferencesWrite changePreferencesFile(const std::string& path,
                                             std::span<const host::PreferenceChange> changes) {
  using host::PreferencesWrite;
  KeyChanges keyed;
  if (!keyChanges(changes, keyed)) return PreferencesWrite::kNotWritable;
  WritersLock lock(path);
  if (!lock.held()) return PreferencesWrite::kNotLocked;
  FileProbe found = probePreferencesFile(path);
  if (found.status == host::PreferencesStatus::kFailed) return PreferencesWrite::kReadFailed;
  if (found.status == host::PreferencesStatus::kUnreadable && !keepUnreadableAside(path))
    return PreferencesWrite::kNotKept;
  NSMutableDictionary* values =
      found.values ? [[found.values mutableCopy] autorelease] : [NSMutableDictionary dictionary];
  [values addEntriesFromDictionary:keyed.toSet];
  [values removeObjectsForKeys:keyed.toRemove];
  return [values writeToFile:pathString(path) atomically:YES] ? PreferencesWrite::kWritten
                                                               : PreferencesWrite::kWriteFailed;
}

}  // namespace adapter
