#include "settings/document.h"

#include <utility>

#include "host/host.h"
#include "settings/readings.h"
#include "settings/tree_reader.h"
#include "settings/xml_writer.h"

namespace settings {

Document::Document() : root_(plist_new_dict()) {}

Document::Document(plist_t dictionary) : root_(dictionary) {}

Document Document::parse(std::string_view bytes, ReadResult* why) {
  ReadResult ignored;
  if (!why) why = &ignored;
  *why = ReadResult();
  plist_t node = plist::readTree(bytes, why);
  if (!node) return Document();
  if (plist_get_node_type(node) != PLIST_DICT) {
    why->reason = "root is not a dictionary";
    plist_free(node);
    return Document();
  }
  return Document(node);
}

Document Document::readFile(const char* devicePath, ReadResult* why) {
  std::string bytes;
  if (!host::readFile(devicePath, bytes)) {
    if (why) {
      *why = ReadResult();
      why->reason = "file is absent or unreadable";
    }
    return Document();
  }
  return parse(bytes, why);
}

Document::Document(const Document& other) : root_(plist_copy(other.root_)) {}

Document& Document::operator=(const Document& other) {
  if (this != &other) {
    plist_t copy = plist_copy(other.root_);
    plist_free(root_);
    root_ = copy;
  }
  return *this;
}

Document::Document(Document&& other) noexcept : root_(std::exchange(other.root_, plist_new_dict())) {}

Document& Document::operator=(Document&& other) noexcept {
  std::swap(root_, other.root_);
  return *this;
}

Document::~Document() { plist_free(root_); }

plist_t Document::value(std::string_view key) const {
  return plist_dict_get_item(root_, std::string(key).c_str());
}

std::optional<bool> Document::boolean(std::string_view key) const { return booleanReading(value(key)); }

std::optional<float> Document::single(std::string_view key) const { return singleReading(value(key)); }

std::size_t Document::size() const { return plist_dict_get_size(root_); }

void Document::setBoolean(std::string_view key, bool value) { setValue(key, plist_new_bool(value)); }

void Document::setValue(std::string_view key, plist_t value) {
  plist_dict_set_item(root_, std::string(key).c_str(), value);
}

void Document::remove(std::string_view key) {
  if (value(key)) plist_dict_remove_item(root_, std::string(key).c_str());
}

std::string Document::toXml() const {
  std::string xml;
  if (!plist::writeXml(root_, xml)) xml.clear();
  return xml;
}

}  // namespace settings
