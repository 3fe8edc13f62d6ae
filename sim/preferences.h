// The simulated platform's preferences: how it reads a preferences file for
// the simulator's own views, and how the settings pane changes one. The
// deliverables reach the same code through host::readPreferences and
// host::changePreferences.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "host/host.h"
#include "sim/device_files.h"
#include "sim/plist/document.h"

namespace sim {

// A preferences file as the platform reads it.
struct PreferencesFile {
  host::PreferencesStatus status = host::PreferencesStatus::kAbsent;
  // For kUnreadable and kFailed: why, in words.
  std::string why;
  // The file's size in bytes when it was read.
  std::optional<std::size_t> size;
  // The dictionary when the status is kRead; empty otherwise.
  plist::Document document;
};

// Reads the preferences file at a device path whole; `stamp`, when given,
// receives the stamp of the file read (sim/device_files.h), from the
// descriptor read.
PreferencesFile readPreferencesFile(const std::string& devicePath, FileStamp* stamp = nullptr);

// How a write of a preferences file went, with the reason in words when it
// failed.
struct PreferencesWriteResult {
  host::PreferencesWrite outcome = host::PreferencesWrite::kWritten;
  std::string why;
  explicit operator bool() const { return outcome == host::PreferencesWrite::kWritten; }
};

// The writers' read-modify-write. Holding the writers' lock of the file, so
// that edits made at the same moment in other processes are all kept, it
// reads the file, hands its dictionary to `edit` and writes the result in
// the XML form. `edit` gets an empty dictionary when there is no file, or
// when the file does not read as a dictionary: that file is first moved to
// "<file>.unreadable" so that its bytes are kept. Nothing is written when
// the file cannot be read at all, when `edit` returns false, or when the
// result holds what the XML form cannot (the reason names what).
// Before the result replaces the file, the writer checks that the file is
// still the one it read (sim/device_files.h: FileStamp); one changed
// meanwhile by a writer that does not take the lock is read again and
// `edit` runs again on it, a bounded number of times, so that its change is
// kept; when the file keeps changing the edit fails with the reason.
PreferencesWriteResult editPreferencesFile(const std::string& devicePath,
                                           const std::function<bool(plist::Document&)>& edit);
// Runs `whole` holding the writers' lock of the file at a device path, so
// that a replacement or removal of the whole file waits for, and holds off,
// the other writers. When the lock cannot be had `whole` does not run and
// the result says why.
PreferencesWriteResult withPreferencesLock(const std::string& devicePath, const std::function<bool()>& whole);

// The edits of preferences files this process refused, by the pane or by a
// deliverable, and the reason for the last one, e.g. "cannot take the
// writers' lock of /var/...: a folder is in the way of its lock file". The
// simulator fails the command during which an edit was refused.
int writeRefusals();
const std::string& lastWriteRefusal();

}  // namespace sim
