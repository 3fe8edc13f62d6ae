// Files of the booted device as its user and operating system reach them.
// Device paths resolve inside the device root (sim/in_root.h): a planted
// symbolic link never leads to a file outside it. Without a booted device
// the paths are the host's own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sim/writers_lock.h"

namespace sim {

// The folder that stands for the booted device's "/" (boot sets it,
// shutdown clears it); empty: the host's own "/".
void setDeviceRoot(const std::string& root);
// The device root, open (once, until the next setDeviceRoot) for paths to
// be resolved inside it (sim/in_root.h); -1 when it cannot be opened.
int deviceRootFd();
// The host file-system path of a device path, below the device root.
std::string hostPath(const std::string& devicePath);

// Reads the regular file at a device path, at most the settings size limit.
// False, with `bytes` empty, when it is absent, not a regular file, too
// large or unreadable.
bool readDeviceFile(const std::string& devicePath, std::string& bytes);
// Replaces the file at a device path atomically, as the preferences writers do;
// with `createFolders`, makes the missing folders on the way. A symbolic
// link at the path itself is replaced, never followed. False, with errno
// saying why when it can, when nothing was replaced.
bool replaceDeviceFile(const std::string& devicePath, std::string_view bytes, bool createFolders);

// What tells one state of a file from another: its identity, size and
// modification time (to the nanosecond). A replacement, or a write in
// place, changes it.
struct FileStamp {
  bool present = false;
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// How many files this process has replaced (replaceDeviceFile and
// replaceDeviceFileIfUnchanged) since it started.
int deviceFileReplacements();

// The stamp of the file at a device path now, reached as a read reaches it;
// not present when nothing is there.
FileStamp stampDeviceFile(const std::string& devicePath);
// replaceDeviceFile (without making folders) only while the file at the
// path is the one stamped `expected`: checked once the new file is ready,
// just before it takes the old one's place, so that a change made since
// `expected` was taken, by a writer that does not hold the writers' lock,
// is not undone. `*changed` tells that this check is why nothing was
// replaced.
bool replaceDeviceFileIfUnchanged(const std::string& devicePath, std::string_view bytes, const FileStamp& expected,
                                  bool* changed);
// Installs a function replaceDeviceFileIfUnchanged runs, with the device
// path, once the new file is ready and before the check: a test's stand-in
// for a writer that changes the file at that moment. Null: none.
void setBeforeReplaceHook(void (*hook)(const std::string& devicePath));
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
// when given, says in words why for kTooLarge and kFailed; `stamp`, when
// given, receives the stamp of what was read (not present for kAbsent).
// Consumes an injected read fault (failNextRead).
DeviceRead readDeviceFileChecked(const std::string& devicePath, std::string& bytes, std::string* why = nullptr,
                                 FileStamp* stamp = nullptr);
// Forgets every injected fault not yet consumed.
void clearFileFaults();
// Consumes an injected read fault of a device path (failNextRead); true
// when there was one.
bool takeReadFault(const std::string& devicePath);
// Consumes an injected write fault of a device path (failNextWrite); true
// when there was one.
bool takeWriteFault(const std::string& devicePath);
// rename(2) between two device paths inside the root: moves the file,
// replacing what is at `to`; a symlink is moved, never followed. False when
// nothing moved.
bool moveDeviceFile(const std::string& from, const std::string& to);
// How many files this process has moved (moveDeviceFile) since it started.
int deviceFileMoves();
// Takes the writers' lock of the file at a device path ("<name>.lock" beside
// it), waiting a bounded time (sim/writers_lock.h); it is held until the
// result goes. When it cannot be had, the refusal is journaled.
WritersLock lockDeviceFileWriters(const std::string& devicePath);

}  // namespace sim
