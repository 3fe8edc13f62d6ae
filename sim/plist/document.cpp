#include "sim/plist/document.h"

#include <utility>

namespace plist {

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

std::string Document::toXml(XmlRefusal* why) const {
  std::string xml;
  if (!plist::writeXml(tree_.root(), xml, why)) xml.clear();
  return xml;
}

}  // namespace plist
