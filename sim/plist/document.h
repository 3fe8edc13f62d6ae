// A property-list dictionary read from any encoding and written as XML,
// keeping every key it does not change with its type and value.
#pragma once

#include <string>
#include <string_view>

#include "sim/plist/read_result.h"
#include "sim/plist/tree.h"
#include "sim/plist/value.h"
#include "sim/plist/xml_writer.h"

namespace plist {

class Document {
 public:
  // An empty dictionary.
  Document() = default;
  // Parses bytes of any property-list encoding (sim/plist/plist_reader.h).
  // Bytes that do not parse, exceed a limit of sim/plist/limits.h, or whose
  // root is not a dictionary give an empty dictionary; `why`, when given,
  // tells which.
  static Document parse(std::string_view bytes, ReadResult* why = nullptr);
  // The value under `key`, or null. Valid until the document changes.
  Node value(std::string_view key) const { return tree_.root().find(key); }
  bool contains(std::string_view key) const { return static_cast<bool>(value(key)); }
  std::size_t size() const { return tree_.root().size(); }
  // The root dictionary, its entries in the order read.
  Node root() const { return tree_.root(); }

  // Adds `key` or replaces its value with a property-list boolean.
  void setBoolean(std::string_view key, bool value) { setValue(key, Value::boolean(value)); }
  // Adds `key` (last) or replaces its value (in place).
  void setValue(std::string_view key, const Value& value) { tree_.set(key, value); }
  void remove(std::string_view key) { tree_.remove(key); }

  // The dictionary in the XML encoding, which reads back to the same values;
  // empty when the tree holds what that encoding cannot, and `why`, when
  // given, says what (sim/plist/xml_writer.h). Besides values set by a
  // caller, a binary or old-style file can bring such a value: text XML
  // cannot carry, a date with a fraction of a second.
  std::string toXml(XmlRefusal* why = nullptr) const;

 private:
  // Reads `bytes`, moved in; the tree refers to them.
  static Document read(std::string bytes, ReadResult* why);
  Tree tree_;
};

}  // namespace plist
