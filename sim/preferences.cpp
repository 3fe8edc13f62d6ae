// host.h's preferences, served from the files of the device root with the
// simulated platform's property-list code, and the pane's edits.
#include "sim/preferences.h"

#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "sim/device_files.h"
#include "sim/journal.h"
#include "sim/plist/lookup.h"
#include "sim/plist/preference_value.h"
#include "sim/plist/xml_writer.h"
#include "sim/writers_lock.h"

namespace sim {
namespace {

using host::PreferencesStatus;
using host::PreferencesWrite;

struct Refusals {
  int count = 0;
  std::string last;
};

Refusals& refusals() {
  static auto* noted = new Refusals;
  return *noted;
}

PreferencesWriteResult failure(PreferencesWrite outcome, std::string why) {
  ++refusals().count;
  refusals().last = why;
  return {outcome, std::move(why)};
}

std::string lockRefusal(const std::string& devicePath, const WritersLock& lock) {
  return "cannot take the writers' lock of " + devicePath + ": " + describeLockFailure(lock);
}

// How many times a writer reads the file when it finds it changed, between
// its read and its replacement, by something that does not take the
// writers' lock.
constexpr int kReadsPerEdit = 5;

// Reads the file at a device path whole into `bytes`; false, with the
// status and why there is nothing to parse, when it cannot. `stamp`, when
// given, receives the stamp of what was read.
bool readWhole(const std::string& devicePath, std::string& bytes, PreferencesStatus& status, std::string& why,
               FileStamp* stamp = nullptr) {
  switch (readDeviceFileChecked(devicePath, bytes, &why, stamp)) {
    case DeviceRead::kAbsent: status = PreferencesStatus::kAbsent; return false;
    case DeviceRead::kFailed: status = PreferencesStatus::kFailed; return false;
    case DeviceRead::kTooLarge: status = PreferencesStatus::kUnreadable; return false;
    case DeviceRead::kRead: break;
  }
  return true;
}

PreferencesFile readStamped(const std::string& devicePath, FileStamp* stamp) {
  PreferencesFile file;
  std::string bytes;
  if (!readWhole(devicePath, bytes, file.status, file.why, stamp)) return file;
  file.size = bytes.size();
  plist::ReadResult why;
  file.document = plist::Document::parse(bytes, &why);
  file.status = why ? PreferencesStatus::kRead : PreferencesStatus::kUnreadable;
  if (!why) file.why = why.describe();
  return file;
}

std::string cannotWrite(const std::string& devicePath, int error) {
  return "cannot write " + devicePath + (error ? std::string(": ") + std::strerror(error) : std::string());
}

}  // namespace

PreferencesFile readPreferencesFile(const std::string& devicePath, FileStamp* stamp) {
  return readStamped(devicePath, stamp);
}

PreferencesWriteResult editPreferencesFile(const std::string& devicePath,
                                           const std::function<bool(plist::Document&)>& edit) {
  const WritersLock lock = lockDeviceFileWriters(devicePath);
  if (!lock) return failure(PreferencesWrite::kNotLocked, lockRefusal(devicePath, lock));
  const std::string keptPath = devicePath + ".unreadable";
  for (int reads = 0; reads < kReadsPerEdit; ++reads) {
    FileStamp stamp;
    PreferencesFile file = readStamped(devicePath, &stamp);
    if (file.status == PreferencesStatus::kFailed)
      return failure(PreferencesWrite::kReadFailed, "cannot read " + devicePath + ": " + file.why);
    if (!edit(file.document)) return {};
    // Checked before anything moves, so that a refused edit changes nothing.
    plist::XmlRefusal refusal = plist::XmlRefusal::kNone;
    const std::string xml = file.document.toXml(&refusal);
    if (xml.empty())
      return failure(PreferencesWrite::kNotWritable,
                     devicePath + " cannot hold this edit: " + plist::describeXmlRefusal(refusal));
    // Readers take a file that does not read as a dictionary for no file, so
    // moving it aside changes nothing they see.
    const bool unreadable = file.status == PreferencesStatus::kUnreadable;
    if (unreadable) {
      if (stampDeviceFile(devicePath) != stamp) continue;
      if (!moveDeviceFile(devicePath, keptPath))
        return failure(PreferencesWrite::kNotKept, "cannot keep the unreadable " + devicePath + " aside");
      stamp = FileStamp();
    }
    bool changed = false;
    errno = 0;
    const bool faulted = takeWriteFault(devicePath);
    if (faulted) errno = EIO;
    if (!faulted && replaceDeviceFileIfUnchanged(devicePath, xml, stamp, &changed)) {
      return {};
    }
    // Changed meanwhile: the other writer's file stays, and so does the
    // unreadable one kept aside; both are read again.
    if (changed) {
      continue;
    }
    const int error = errno;
    // Puts a file moved aside back, so that a failed edit changes nothing.
    if (unreadable) moveDeviceFile(keptPath, devicePath);
    return failure(PreferencesWrite::kWriteFailed, cannotWrite(devicePath, error));
  }
  return failure(PreferencesWrite::kWriteFailed,
                 cannotWrite(devicePath, 0) + ": it changed between every one of " + std::to_string(kReadsPerEdit) +
                     " reads and the replacement, by a writer that does not take the writers' lock");
}

PreferencesWriteResult withPreferencesLock(const std::string& devicePath, const std::function<bool()>& whole) {
  const WritersLock lock = lockDeviceFileWriters(devicePath);
  if (!lock) return failure(PreferencesWrite::kNotLocked, lockRefusal(devicePath, lock));
  errno = 0;
  if (!whole()) return failure(PreferencesWrite::kWriteFailed, cannotWrite(devicePath, errno));
  return {};
}

int writeRefusals() { return refusals().count; }
const std::string& lastWriteRefusal() { return refusals().last; }

}  // namespace sim
