// The steps of replaceFileAtomically, for tests that stop a writer at each
// one and check what a crash there leaves behind.
#pragma once

namespace plist {

enum class WriteStep {
  Created,       // the temporary file exists, still empty
  Wrote,         // after each chunk of at most 64 KiB written to it
  Synced,        // its contents are on disk
  Renamed,       // it has replaced the target
  FolderSynced,  // the rename is on disk
};

using WriteStepObserver = void (*)(WriteStep);
// Calls `observer` at every step of every later replacement in this
// process; null stops it.
void setWriteStepObserver(WriteStepObserver observer);

}  // namespace plist
