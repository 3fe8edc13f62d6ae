#include "adapter/preferences_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "adapter/file_system.h"
#include "adapter/preference_values.h"
#include "adapter/writers_lock.h"

namespace adapter {
namespace {

using host::PreferencesStatus;

NSString* foundationString(const std::string& path) {
  return [NSString stringWithUTF8String:foundationPath(path).c_str()];
}
std::string keptAsidePath(const std::string& path) { return path + ".unreadable"; }

FileProbe oversized(FileProbe found) {
  found.status = PreferencesStatus::kUnreadable;
  found.tooLarge = true;
  found.why = "file is larger than the limit of " + std::to_string(host::kMaxPreferencesFileBytes >> 20) + " MiB";
  return found;
}
bool exceedsBound(const struct stat& st) {
  return S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > host::kMaxPreferencesFileBytes;
}

// The regular file open at `fd`, read whole within the bound and parsed.
FileProbe readOpenFile(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return {PreferencesStatus::kFailed, nil, std::strerror(errno)};
  if (!S_ISREG(st.st_mode)) return {PreferencesStatus::kFailed, nil, "not a regular file"};
  FileProbe found{PreferencesStatus::kUnreadable, nil, {}, st.st_dev, st.st_ino};
  if (exceedsBound(st)) return oversized(found);
  // Read to the end rather than to the size seen: the file may be growing.
  NSMutableData* bytes = [NSMutableData dataWithCapacity:static_cast<NSUInteger>(st.st_size)];
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      return {PreferencesStatus::kFailed, nil, std::strerror(errno)};
    }
    [bytes appendBytes:chunk length:static_cast<NSUInteger>(got)];
    if ([bytes length] > host::kMaxPreferencesFileBytes) return oversized(found);
  }
  id values = [NSPropertyListSerialization propertyListWithData:bytes
                                                        options:NSPropertyListImmutable
                                                         format:nullptr
                                                          error:nullptr];
  if (![values isKindOfClass:[NSDictionary class]]) {
    found.why = "not a property list with a dictionary at its root";
    return found;
  }
  found.status = PreferencesStatus::kRead;
  found.values = values;
  return found;
}

}  // namespace

FileProbe probePreferencesFile(const std::string& path) {
  // Foundation answers nil alike for a file it cannot open and one it cannot
  // parse; a writer must replace only the second, so the file is opened and
  // read here, and only its bytes go to Foundation.
  const int fd = openForReading(path);
  if (fd < 0) {
    if (errno == ENOENT) return {};
    return {PreferencesStatus::kFailed, nil, std::strerror(errno)};
  }
  FileProbe found = readOpenFile(fd);
  close(fd);
  return found;
}

FileProbe probeFileSize(const std::string& path) {
  struct stat st {};
  if (!statFile(path, st) || !exceedsBound(st)) return {};
  return oversized(FileProbe{PreferencesStatus::kUnreadable, nil, {}, st.st_dev, st.st_ino});
}

bool keepUnreadableAside(const std::string& path, const FileProbe& found) {
  struct stat st {};
  if (!statFile(path, st) || st.st_dev != found.device || st.st_ino != found.inode) return false;
  return renameFile(path, keptAsidePath(path));
}

void putBackKeptAside(const std::string& path) { renameFile(keptAsidePath(path), path); }

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
  const bool unreadable = found.status == host::PreferencesStatus::kUnreadable;
  if (unreadable && !keepUnreadableAside(path, found)) return PreferencesWrite::kNotKept;
  NSMutableDictionary* values =
      found.values ? [[found.values mutableCopy] autorelease] : [NSMutableDictionary dictionary];
  [values addEntriesFromDictionary:keyed.toSet];
  [values removeObjectsForKeys:keyed.toRemove];
  if ([values writeToFile:foundationString(path) atomically:YES]) return PreferencesWrite::kWritten;
  if (unreadable) putBackKeptAside(path);
  return PreferencesWrite::kWriteFailed;
}

}  // namespace adapter
