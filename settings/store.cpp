#include "settings/store.h"

#include "host/host.h"
#include "settings/keys.h"

namespace settings {

Document readSettings() { return Document::readFile(kSettingsPath); }

void writeSettingsAndPost(const Document& document) {
  // Readers are told after the write whatever its outcome: a failed write
  // leaves the old file, which they then simply read again.
  host::replaceFile(kSettingsPath, document.toXml());
  host::notifyPost(kChangedNotification);
}

}  // namespace settings
