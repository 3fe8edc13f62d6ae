#include "settings/lookup.h"

namespace settings {

Lookup Lookup::readFile(const char* devicePath) {
  Lookup lookup;
  lookup.document_ = Document::readFile(devicePath);
  return lookup;
}

Lookup Lookup::parse(std::string_view bytes) {
  Lookup lookup;
  lookup.document_ = Document::parse(bytes);
  return lookup;
}

std::optional<bool> Lookup::boolean(std::string_view key) const { return document_.boolean(key); }

std::optional<float> Lookup::single(std::string_view key) const { return document_.single(key); }

}  // namespace settings
