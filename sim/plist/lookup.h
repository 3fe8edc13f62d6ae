// Read-only look-ups of a few keys of a property-list dictionary, as the
// simulated platform serves every settings read. One pass over the bytes
// records each top-level key with its scalar value: no node tree and no
// allocation per key. It reads exactly what Document reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"

namespace plist {

class Lookup {
 public:
  // Looks up in bytes already read (copied). Bytes that do not read as a
  // dictionary look up nothing.
  static Lookup parse(std::string_view bytes);

  // Whether the bytes read as a dictionary.
  bool isDictionary() const { return dictionary_; }
  // The value of `key` as the platform hands it over; none when absent.
  std::optional<host::PreferenceValue> value(std::string_view key) const;
  // How many distinct keys there are.
  std::size_t size() const;

  // Where a text of the file is: in its bytes as read, in their conversion
  // from UTF-16, or copied into the arena once decoded.
  struct Text {
    enum class Source : std::uint8_t { File, Converted, Arena };
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    Source source = Source::Arena;
  };
  // A top-level key with its value: its type, a scalar's number, a string's
  // text.
  struct Entry {
    Text key;
    Text text;
    host::PreferenceValue::Type type;
    double number;
  };

 private:
  void load();
  const Entry* find(std::string_view key) const;
  std::string_view textOf(const Text& text) const;

  std::string bytes_;      // the file as read
  std::string converted_;  // its UTF-8 text when it was UTF-16
  std::string arena_;      // keys and strings that had to be decoded
  std::vector<Entry> entries_;
  bool dictionary_ = false;
};

}  // namespace plist
