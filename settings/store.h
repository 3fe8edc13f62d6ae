// The writers' one read-modify-write-and-post sequence on the settings file.
#pragma once

#include <memory>
#include <type_traits>

#include "settings/document.h"

namespace settings {

// Where a settings file that did not read as a dictionary is kept when a
// writer replaces it; each such replacement overwrites the one kept before.
inline constexpr const char kUnreadableSettingsPath[] =
    "/var/mobile/Library/Preferences/com.vantorel.lumivo.plist.unreadable";

// Reads the settings file; empty when absent, unreadable or not a dictionary.
// For readers: it takes no lock and never waits.
Document readSettings();

// What an edit asks for once it has seen, and perhaps changed, the settings.
enum class EditAction {
  kWrite,    // write the document and post the change notification
  kDiscard,  // write nothing and post nothing
};

// How editSettingsAndPost went. Every outcome but kWritten leaves the file
// as it was.
enum class EditOutcome {
  kWritten,      // the edited settings replaced the file
  kDiscarded,    // the edit asked for no write
  kNotLocked,    // the writers' lock could not be had: nothing was read,
                 // edited, written or posted
  kReadFailed,   // the file is there but could not be read
  kNotKept,      // the file did not read as a dictionary and could not be
                 // moved aside to kUnreadableSettingsPath
  kNotWritable,  // the edited settings hold what the file's encoding cannot
  kWriteFailed,  // replacing the file failed
};

// A reference to a caller's edit for the length of one call. Not
// std::function: its throwing path needs a libc++ symbol that the device's
// older systems do not export, and a loaded library may not rely on one.
class EditRef {
 public:
  template <class F, class = std::enable_if_t<!std::is_same_v<std::remove_cvref_t<F>, EditRef>>>
  EditRef(F&& edit)  // NOLINT: implicit, so that a lambda is passed as it is
      : target_(const_cast<void*>(static_cast<const void*>(std::addressof(edit)))),
        call_([](void* target, Document& document) {
          return (*static_cast<std::remove_reference_t<F>*>(target))(document);
        }) {}

  EditAction operator()(Document& document) const { return call_(target_, document); }

 private:
  void* target_;
  EditAction (*call_)(void*, Document&);
};

// The read-modify-write every writer of the settings goes through. Holding
// the writers' lock (host::lockForWriting), so that edits made at the same
// time in other processes are not lost, it reads the settings file, hands it
// to `edit` and writes the result; after releasing the lock it posts the
// change notification unless the edit was discarded, whether or not the
// write succeeded. A writer that cannot have the lock (host::lockForWriting
// gives none) refuses the edit rather than risk losing another's. `edit` gets:
// - the file's dictionary;
// - an empty dictionary when there is no file, or when the file does not read
//   as a dictionary, which is first moved to kUnreadableSettingsPath so that
//   its bytes are kept (if it cannot be moved nothing is written);
// - an empty dictionary when the file cannot be read at all: then nothing is
//   written whatever `edit` does, and `edit` only decides whether to post.
EditOutcome editSettingsAndPost(EditRef edit);

}  // namespace settings
