#include "settings/store.h"

#include "host/host.h"
#include "settings/keys.h"

namespace settings {

Document readSettings() { return Document::readFile(kSettingsPath); }

void writeSettingsAndPost(const Document& document) {
  // A tree the XML form cannot hold is not written: an empty file would
  // reset every setting.
  const std::string xml = document.toXml();
  if (!xml.empty()) host::replaceFile(kSettingsPath, xml);
  // Readers are told after the write whatever its outcome: a failed write
  // leaves the old file, which they then simply read again.
  host::notifyPost(kChangedNotification);
}

}  // namespace settings
