#include "sim/plist_read.h"

#include "sim/plist/atomic_file.h"
#include "sim/plist/document.h"

namespace sim {
namespace {

std::optional<std::string> stringOf(plist::Node node) {
  if (!node || node.type() != plist::Type::String) return std::nullopt;
  return std::string(node.text());
}

}  // namespace

std::optional<std::string> plistString(const std::string& hostFile, const char* key) {
  std::string bytes;
  if (!plist::readWholeFile(hostFile, bytes)) return std::nullopt;
  return stringOf(plist::Document::parse(bytes).value(key));
}

std::optional<std::vector<std::string>> plistStringArray(const std::string& hostFile, const char* outer,
                                                         const char* inner) {
  std::string bytes;
  if (!plist::readWholeFile(hostFile, bytes)) return std::nullopt;
  const auto doc = plist::Document::parse(bytes);
  const plist::Node dict = doc.value(outer);
  if (!dict || dict.type() != plist::Type::Dictionary) return std::nullopt;
  const plist::Node array = dict.find(inner);
  if (!array || array.type() != plist::Type::Array) return std::nullopt;
  std::vector<std::string> strings;
  for (std::size_t i = 0; i < array.size(); ++i)
    if (auto s = stringOf(array.at(i))) strings.push_back(*s);
  return strings;
}

}  // namespace sim
