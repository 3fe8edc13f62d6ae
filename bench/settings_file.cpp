#include "bench/settings_file.h"

#include <plist/plist.h>

#include <cstdlib>

#include "sim/plist/document.h"
#include "settings/keys.h"

namespace bench {

std::string settingsFile(bool binary, int keys) {
  plist::Document doc;
  doc.setBoolean(settings::kEnabledKey, true);
  doc.setBoolean(settings::kDisableSpringBoardKey, false);
  doc.setBoolean(settings::kDisableKeyboardKey, false);
  doc.setBoolean(settings::kForceModeKey, false);
  doc.setValue(settings::kIncrementKey, plist::Value::real(0.05));
  for (int i = 0; i < keys; ++i)
    doc.setBoolean(std::string(settings::kAppDisablePrefix) + "com.example.app" + std::to_string(i), i % 3 == 0);
  std::string bytes = doc.toXml();
  if (!binary) return bytes;
  plist_t root = nullptr;
  plist_from_xml(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  char* bin = nullptr;
  uint32_t length = 0;
  plist_to_bin(root, &bin, &length);
  bytes.assign(bin, length);
  std::free(bin);
  plist_free(root);
  return bytes;
}

}  // namespace bench
