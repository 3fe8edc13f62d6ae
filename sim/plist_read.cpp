#include "sim/plist_read.h"

#include "settings/atomic_file.h"
#include "settings/document.h"

namespace sim {
namespace {

std::optional<std::string> stringOf(plist_t node) {
  if (!node || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
  char* value = nullptr;
  plist_get_string_val(node, &value);
  std::string result = value ? value : "";
  free(value);
  return result;
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
  auto doc = settings::Document::parse(bytes);
  plist_t dict = doc.value(outer);
  if (!dict || plist_get_node_type(dict) != PLIST_DICT) return std::nullopt;
  plist_t array = plist_dict_get_item(dict, inner);
  if (!array || plist_get_node_type(array) != PLIST_ARRAY) return std::nullopt;
  std::vector<std::string> strings;
  for (uint32_t i = 0; i < plist_array_get_size(array); ++i)
    if (auto s = stringOf(plist_array_get_item(array, i))) strings.push_back(*s);
  return strings;
}

}  // namespace sim
