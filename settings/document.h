// A property-list dictionary read from any encoding and written as XML,
// keeping every key it does not change with its type and value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <plist/plist.h>

#include "settings/read_result.h"

namespace settings {

class Document {
 public:
  // An empty dictionary.
  Document();
  // Parses bytes of any property-list encoding (settings/plist_reader.h).
  // Bytes that do not parse, exceed a limit of settings/limits.h, or whose
  // root is not a dictionary give an empty dictionary; `why`, when given,
  // tells which.
  static Document parse(std::string_view bytes, ReadResult* why = nullptr);
  // Reads and parses the file at a device path; an absent or unreadable file
  // gives an empty dictionary.
  static Document readFile(const char* devicePath, ReadResult* why = nullptr);

  Document(const Document& other);
  Document& operator=(const Document& other);
  Document(Document&& other) noexcept;
  Document& operator=(Document&& other) noexcept;
  ~Document();

  // The value under `key`, or null. Owned by the document.
  plist_t value(std::string_view key) const;
  bool contains(std::string_view key) const { return value(key) != nullptr; }
  // The boolean reading of the value under `key`, none when absent or not
  // readable as a boolean.
  std::optional<bool> boolean(std::string_view key) const;
  // The single-precision reading of the value under `key`, none when absent
  // or not readable as a number.
  std::optional<float> single(std::string_view key) const;
  std::size_t size() const;

  // Adds `key` or replaces its value with a property-list boolean.
  void setBoolean(std::string_view key, bool value);
  // Takes ownership of `value` and stores it under `key`.
  void setValue(std::string_view key, plist_t value);
  void remove(std::string_view key);

  // The dictionary in the XML encoding, which reads back to the same values;
  // empty when the tree holds what that encoding cannot (see
  // settings/xml_writer.h), which only values set by a caller can bring.
  std::string toXml() const;
  // The root dictionary node, owned by the document.
  plist_t root() const { return root_; }

 private:
  explicit Document(plist_t dictionary);
  plist_t root_;
};

}  // namespace settings
