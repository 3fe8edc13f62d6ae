// Files of the booted device as its user and operating system reach them.
// Device paths resolve inside the device root (sim/in_root.h): a planted
// symbolic link never leads to a file outside it. Without a booted device
// the paths are the host's own.
#pragma once

#include <string>
#include <string_view>

#include "sim/writers_lock.h"

namespace sim {

// Reads the regular file at a device path, at most the settings size limit.
// False, with `bytes` empty, when it is absent, not a regular file, too
// large or unreadable.
bool readDeviceFile(const std::string& devicePath, std::string& bytes);
// Replaces the file at a device path atomically, as the preferences writers do;
// with `createFolders`, makes the missing folders on the way. A symbolic
// link at the path itself is replaced, never followed. False when nothing
// was replaced.
bool replaceDeviceFile(const std::string& devicePath, std::string_view bytes, bool createFolders);
// Makes the folder at a device path and those missing on the way. False
// when a part of the path is not a folder or cannot be made.
bool makeDeviceFolder(const std::string& devicePath);
// Removes the file at a device path (a symbolic link there is removed, not
// followed). `existed` tells whether there was one. False when it could not
// be removed.
bool removeDeviceFile(const std::string& devicePath, bool* existed);

// What readDeviceFileChecked found at a device path.
enum class DeviceRead {
  kRead,      // `bytes` holds the whole file
  kAbsent,    // nothing is there
  kTooLarge,  // a regular file is there, larger than any settings read takes
  kFailed,    // something is there that could not be read: an I/O error, no
              // permission, a folder, not a regular file
};
// readDeviceFile for writers and for telling why, which must tell a file
// that is not there (nothing to keep) from one they could not read (which
// they must not replace). `bytes` is empty unless the result is kRead; `why`,
// when given, says in words why for kTooLarge and kFailed. Consumes an
// injected read fault (failNextRead).
DeviceRead readDeviceFileChecked(const std::string& devicePath, std::string& bytes, std::string* why = nullptr);
// Consumes an injected write fault of a device path (failNextWrite); true
// when there was one.
bool takeWriteFault(const std::string& devicePath);
// rename(2) between two device paths inside the root: moves the file,
// replacing what is at `to`; a symlink is moved, never followed. False when
// nothing moved.
bool moveDeviceFile(const std::string& from, const std::string& to);
// Takes the writers' lock of the file at a device path ("<name>.lock" beside
// it), waiting a bounded time (sim/writers_lock.h); it is held until the
// result goes. When it cannot be had, the refusal is journaled.
WritersLock lockDeviceFileWriters(const std::string& devicePath);

}  // namespace sim
