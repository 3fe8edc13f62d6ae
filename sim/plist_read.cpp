#include "sim/plist_read.h"

#include "settings/atomic_file.h"
#include "settings/document.h"

namespace sim {
namespace {

std::optional<std::string> stringOf(settings::Node node) {
  if (!node || node.type() != settings::Type::String) return std::nullopt;
  return std::string(node.text());
}

}  // namespace

std::optional<std::string> plistString(const std::string& hostFile, const char* key) {
  std::string bytes;
  if (!settings::readWholeFile(hostFile, bytes)) return std::nullopt;
  return stringOf(settings::Document::parse(bytes).value(key));
}

std::optional<std::vector<std::string>> plistStringArray(const std::string& hostFile, const char* outer,
                                                         const char* inner) {
  std::string bytes;
  if (!settings::readWholeFile(hostFile, bytes)) return std::nullopt;
  const auto doc = settings::Document::parse(bytes);
  const settings::Node dict = doc.value(outer);
  if (!dict || dict.type() != settings::Type::Dictionary) return std::nullopt;
  const settings::Node array = dict.find(inner);
  if (!array || array.type() != settings::Type::Array) return std::nullopt;
  std::vector<std::string> strings;
  for (std::size_t i = 0; i < array.size(); ++i)
    if (auto s = stringOf(array.at(i))) strings.push_back(*s);
  return strings;
}

}  // namespace sim
