// A preferences file read and changed with Foundation: the settings of hosts
// without the preferences daemon, and what the file on disk holds on hosts
// with it.
#pragma once

#import <Foundation/Foundation.h>

#include <span>
#include <string>
#include <string_view>

#include "host/host.h"

namespace adapter {

// What is at a preferences file (`path` on this file system).
struct FileProbe {
  host::PreferencesStatus status = host::PreferencesStatus::kAbsent;
  // kRead: the file's dictionary, autoreleased.
  NSDictionary* values = nil;
  // kUnreadable and kFailed: why.
  std::string why;
};
// Reads the file with dictionaryWithContentsOfFile:, telling a file that is
// not there (kAbsent) and one that cannot be read at all (kFailed: no
// permission, an I/O error, not a regular file) from one that is read but is
// not a property-list dictionary (kUnreadable).
FileProbe probePreferencesFile(const std::string& path);

// Copies the file at `path` to "<path>.unreadable", replacing an earlier
// copy. False when nothing was copied.
bool keepUnreadableAside(const std::string& path);

// host::readPreferences and host::changePreferences of the file itself.
host::PreferencesRead readPreferencesFile(const std::string& path, std::span<const std::string_view> keys);
host::PreferencesWrite changePreferencesFile(const std::string& path,
                                             std::span<const host::PreferenceChange> changes);

}  // namespace adapter
