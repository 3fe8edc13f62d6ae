// A preferences file read and changed with Foundation: the settings of hosts
// without the preferences daemon, and what the file on disk holds on hosts
// with it.
#pragma once

#import <Foundation/Foundation.h>

#include <sys/types.h>

#include <span>
#include <string>
#include <string_view>

#include "host/host.h"

namespace adapter {

// What is at a preferences file. Paths here are device paths, reached
// through adapter/file_system.h.
struct FileProbe {
  host::PreferencesStatus status = host::PreferencesStatus::kAbsent;
  // kRead: the file's dictionary, autoreleased.
  NSDictionary* values = nil;
  // kUnreadable and kFailed: why.
  std::string why;
  // kRead and kUnreadable: the file read.
  dev_t device = 0;
  ino_t inode = 0;
  // kUnreadable: the file is larger than host::kMaxPreferencesFileBytes.
  bool tooLarge = false;
};
// Reads the file once, from one descriptor opened without blocking, and
// parses the bytes read with NSPropertyListSerialization, telling a file
// that is not there (kAbsent) and one that cannot be read at all (kFailed:
// no permission, an I/O error, not a regular file) from one that is read but
// is not a property-list dictionary or is larger than
// host::kMaxPreferencesFileBytes (kUnreadable). Never blocks: what is put at
// the path while it reads is not read.
FileProbe probePreferencesFile(const std::string& path);
// What probePreferencesFile finds when the file at `path` is larger than
// host::kMaxPreferencesFileBytes; kAbsent for any other. Opens nothing.
FileProbe probeFileSize(const std::string& path);

// Moves the unreadable file `found` at `path` to "<path>.unreadable",
// replacing an earlier one. False, moving nothing, when it cannot be moved or
// another file has taken its place since.
bool keepUnreadableAside(const std::string& path, const FileProbe& found);
// Moves the file kept aside back to `path`, after a change that failed.
void putBackKeptAside(const std::string& path);

// host::readPreferences and host::changePreferences of the file itself.
host::PreferencesRead readPreferencesFile(const std::string& path, std::span<const std::string_view> keys);
host::PreferencesWrite changePreferencesFile(const std::string& path,
                                             std::span<const host::PreferenceChange> changes);

}  // namespace adapter
