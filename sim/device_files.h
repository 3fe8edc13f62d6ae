// Files of the booted device as its user and operating system reach them.
// Device paths resolve inside the device root (sim/in_root.h): a planted
// symbolic link never leads to a file outside it. Without a booted device
// the paths are the host's own.
#pragma once

#include <string>
#include <string_view>

namespace sim {

// Reads the regular file at a device path, at most the settings size limit.
// False, with `bytes` empty, when it is absent, not a regular file, too
// large or unreadable.
bool readDeviceFile(const std::string& devicePath, std::string& bytes);
// Replaces the file at a device path atomically, as host::replaceFile does;
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

}  // namespace sim
