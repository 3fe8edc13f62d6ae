// Read-only look-ups of a few keys of the settings file, as the extension
// makes them on every reload and every front display change. One pass over
// the bytes records each top-level key with its readings: no node tree and
// no allocation per key. It reads exactly what Document reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

class Lookup {
 public:
  // Reads the file at a device path once. An absent, unreadable or
  // non-dictionary file looks up nothing.
  static Lookup readFile(const char* devicePath);
  // Looks up in bytes already read (copied).
  static Lookup parse(std::string_view bytes);

  // The boolean reading of `key`, none when absent or not readable as one.
  std::optional<bool> boolean(std::string_view key) const;
  // The single-precision reading of `key`, none when absent or not a number.
  std::optional<float> single(std::string_view key) const;
  // How many distinct keys there are.
  std::size_t size() const;

  // A top-level key with the readings of its value.
  struct Entry {
    // Where the key's text is: in the file's bytes as read, in their
    // conversion from UTF-16, or copied into the arena once decoded.
    enum class Source : std::uint8_t { File, Converted, Arena };
    std::uint32_t keyOffset;
    std::uint32_t keyLength;
    Source keySource;
    std::int8_t boolean;  // -1 none, else 0 or 1
    bool hasSingle;
    float single;
  };

 private:
  void load();
  const Entry* find(std::string_view key) const;
  std::string_view keyOf(const Entry& entry) const;

  std::string bytes_;      // the file as read
  std::string converted_;  // its UTF-8 text when it was UTF-16
  std::string arena_;      // keys that had to be decoded
  std::vector<Entry> entries_;
};

}  // namespace settings
