#include "settings/document.h"

#include <utility>

#include "host/host.h"
#include "settings/readings.h"
#include "settings/xml_writer.h"

namespace settings {

Document Document::read(std::string bytes, ReadResult* why) {
  ReadResult ignored;
  if (!why) why = &ignored;
  *why = ReadResult();
  Document document;
  if (!document.tree_.read(std::move(bytes), why)) return document;
  const Type type = document.tree_.root().type();
  if (type != Type::Dictionary) {
    why->reason = type == Type::Array ? "root is an array, not a dictionary"
                  : type == Type::Uid ? "root is a keyed-archive reference, not a dictionary"
                                      : "root is a single value, not a dictionary";
    return Document();
  }
  return document;
}

Document Document::parse(std::string_view bytes, ReadResult* why) { return read(std::string(bytes), why); }

Document Document::readFile(const char* devicePath, ReadResult* why) {
  std::string bytes;
  if (!host::readFile(devicePath, bytes)) {
    if (why) {
      *why = ReadResult();
      why->reason = "file is absent or unreadable";
    }
    return Document();
  }
  return read(std::move(bytes), why);
}

std::optional<bool> Document::boolean(std::string_view key) const { return readingsOf(value(key)).boolean; }

std::optional<float> Document::single(std::string_view key) const { return readingsOf(value(key)).single; }

std::string Document::toXml() const {
  std::string xml;
  if (!plist::writeXml(tree_.root(), xml)) xml.clear();
  return xml;
}

}  // namespace settings
