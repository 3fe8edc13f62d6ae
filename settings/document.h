// A property-list dictionary read from any encoding and written as XML,
// keeping every key it does not change with its type and value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/read_result.h"
#include "settings/tree.h"
#include "settings/value.h"

namespace settings {

class Document {
 public:
  // An empty dictionary.
  Document() = default;
  // Parses bytes of any property-list encoding (settings/plist_reader.h).
  // Bytes that do not parse, exceed a limit of settings/limits.h, or whose
  // root is not a dictionary give an empty dictionary; `why`, when given,
  // tells which.
  static Document parse(std::string_view bytes, ReadResult* why = nullptr);
  // Reads and parses the file at a device path; an absent or unreadable file
  // gives an empty dictionary.
  static Document readFile(const char* devicePath, ReadResult* why = nullptr);

  // The value under `key`, or null. Valid until the document changes.
  Node value(std::string_view key) const { return tree_.root().find(key); }
  bool contains(std::string_view key) const { return static_cast<bool>(value(key)); }
  // The boolean reading of the value under `key` (settings/readings.h), none
  // when absent or not readable as a boolean.
  std::optional<bool> boolean(std::string_view key) const;
  // The single-precision reading of the value under `key`, none when absent
  // or not readable as a number.
  std::optional<float> single(std::string_view key) const;
  std::size_t size() const { return tree_.root().size(); }
  // The root dictionary, its entries in the order read.
  Node root() const { return tree_.root(); }

  // Adds `key` or replaces its value with a property-list boolean.
  void setBoolean(std::string_view key, bool value) { setValue(key, Value::boolean(value)); }
  // Adds `key` (last) or replaces its value (in place).
  void setValue(std::string_view key, const Value& value) { tree_.set(key, value); }
  void remove(std::string_view key) { tree_.remove(key); }

  // The dictionary in the XML encoding, which reads back to the same values;
  // empty when the tree holds what that encoding cannot (see
  // settings/xml_writer.h), which only values set by a caller can bring.
  std::string toXml() const;

 private:
  // Reads `bytes`, moved in; the tree refers to them.
  static Document read(std::string bytes, ReadResult* why);
  Tree tree_;
};

}  // namespace settings
