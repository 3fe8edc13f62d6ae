#include "settings/store.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "host/host.h"
#include "settings/keys.h"
#include "settings/read_result.h"

namespace settings {
namespace {

// The bytes as a dictionary; none when they do not read as one (they do not
// parse, exceed a limit, or hold another root type).
std::optional<Document> dictionaryFrom(std::string_view bytes) {
  ReadResult why;
  Document document = Document::parse(bytes, &why);
  if (!why) return std::nullopt;
  return document;
}

// Holds the writers' lock of the settings file for one scope.
class WritersLock {
 public:
  WritersLock() : lock_(host::lockForWriting(kSettingsPath)) {}
  ~WritersLock() { host::unlockWriting(lock_); }
  WritersLock(const WritersLock&) = delete;
  WritersLock& operator=(const WritersLock&) = delete;
  bool held() const { return lock_ != nullptr; }

 private:
  host::WriterLock* lock_;
};

EditOutcome readModifyWrite(EditRef edit) {
  WritersLock lock;
  // Without the lock another writer's edit could be lost: refused instead.
  if (!lock.held()) return EditOutcome::kNotLocked;
  std::string bytes;
  const host::FileRead read = host::readFileChecked(kSettingsPath, bytes);
  Document document;
  bool unreadable = read == host::FileRead::kTooLarge;
  if (read == host::FileRead::kRead) {
    if (auto dictionary = dictionaryFrom(bytes)) document = std::move(*dictionary);
    else unreadable = true;
  }
  if (edit(document) == EditAction::kDiscard) return EditOutcome::kDiscarded;
  if (read == host::FileRead::kFailed) return EditOutcome::kReadFailed;
  // Checked before anything moves, so that a refused edit changes nothing.
  const std::string xml = document.toXml();
  if (xml.empty()) return EditOutcome::kNotWritable;
  // Readers take a file that does not read as a dictionary for no file, so
  // moving it aside changes nothing they see.
  if (unreadable && !host::moveFile(kSettingsPath, kUnreadableSettingsPath)) return EditOutcome::kNotKept;
  if (host::replaceFile(kSettingsPath, xml)) return EditOutcome::kWritten;
  // Puts a file moved aside back, so that a failed edit changes nothing.
  if (unreadable) host::moveFile(kUnreadableSettingsPath, kSettingsPath);
  return EditOutcome::kWriteFailed;
}

}  // namespace

Document readSettings() { return Document::readFile(kSettingsPath); }

EditOutcome editSettingsAndPost(EditRef edit) {
  const EditOutcome outcome = readModifyWrite(edit);
  // Readers are told after the write whatever its outcome: a failed write
  // leaves the old file, which they then simply read again.
  if (outcome != EditOutcome::kDiscarded && outcome != EditOutcome::kNotLocked)
    host::notifyPost(kChangedNotification);
  return outcome;
}

}  // namespace settings
