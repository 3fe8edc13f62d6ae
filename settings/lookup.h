// Read-only look-ups of a few keys of the settings file, as the extension
// makes them on every reload and every front display change.
#pragma once

#include <optional>
#include <string_view>

#include "settings/document.h"

namespace settings {

class Lookup {
 public:
  // Reads the file at a device path once. An absent, unreadable or
  // non-dictionary file looks up nothing.
  static Lookup readFile(const char* devicePath);
  // Looks up in bytes already read.
  static Lookup parse(std::string_view bytes);

  // The boolean reading of `key`, none when absent or not readable as one.
  std::optional<bool> boolean(std::string_view key) const;
  // The single-precision reading of `key`, none when absent or not a number.
  std::optional<float> single(std::string_view key) const;

 private:
  Document document_;
};

}  // namespace settings
