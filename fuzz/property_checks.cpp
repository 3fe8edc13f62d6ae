#include "fuzz/property_checks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "settings/document.h"
#include "settings/lookup.h"
#include "settings/plist_nodes.h"
#include "settings/readings.h"
#include "settings/tree_reader.h"
#include "settings/xml_writer.h"

namespace fuzz_checks {
namespace {

std::string_view bytesOf(plist_t node, bool data) {
  std::uint64_t length = 0;
  const char* p = data ? plist_get_data_ptr(node, &length) : plist_get_string_ptr(node, &length);
  return p ? std::string_view(p, length) : std::string_view();
}

std::string show(std::optional<bool> b) { return b ? (*b ? "true" : "false") : "none"; }
std::string show(std::optional<float> f) { return f ? std::to_string(*f) : "none"; }

// Frees a tree when it goes out of scope.
struct Owned {
  plist_t node;
  ~Owned() { plist_free(node); }
};

}  // namespace

bool sameValue(plist_t a, plist_t b) {
  if (!a || !b) return a == b;
  const plist_type type = plist_get_node_type(a);
  if (type != plist_get_node_type(b)) return false;
  switch (type) {
    case PLIST_BOOLEAN: {
      std::uint8_t x = 0, y = 0;
      plist_get_bool_val(a, &x);
      plist_get_bool_val(b, &y);
      return (x != 0) == (y != 0);
    }
    case PLIST_UINT: {
      auto x = settings::plist::integerOf(a), y = settings::plist::integerOf(b);
      return x.bits == y.bits && x.isUnsigned == y.isUnsigned;
    }
    case PLIST_REAL: {
      double x = 0, y = 0;
      plist_get_real_val(a, &x);
      plist_get_real_val(b, &y);
      return std::memcmp(&x, &y, sizeof x) == 0 || (x != x && y != y);
    }
    case PLIST_DATE:
      return settings::plist::dateOf(a) == settings::plist::dateOf(b);
    case PLIST_STRING:
      return bytesOf(a, false) == bytesOf(b, false);
    case PLIST_DATA:
      return bytesOf(a, true) == bytesOf(b, true);
    case PLIST_UID: {
      std::uint64_t x = 0, y = 0;
      plist_get_uid_val(a, &x);
      plist_get_uid_val(b, &y);
      return x == y;
    }
    case PLIST_ARRAY: {
      const std::uint32_t n = plist_array_get_size(a);
      if (n != plist_array_get_size(b)) return false;
      for (std::uint32_t i = 0; i < n; ++i)
        if (!sameValue(plist_array_get_item(a, i), plist_array_get_item(b, i))) return false;
      return true;
    }
    case PLIST_DICT: {
      if (plist_dict_get_size(a) != plist_dict_get_size(b)) return false;
      plist_dict_iter iter = nullptr;
      plist_dict_new_iter(a, &iter);
      bool same = true;
      for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(a, iter, &key, &value);
        if (!value) {
          std::free(key);
          break;
        }
        same = sameValue(value, plist_dict_get_item(b, key));
        std::free(key);
        if (!same) break;
      }
      std::free(iter);
      return same;
    }
    default:
      return false;
  }
}

std::string lookupAgreesWithDocument(std::string_view bytes) {
  const settings::Lookup lookup = settings::Lookup::parse(bytes);
  const settings::Document document = settings::Document::parse(bytes);
  if (lookup.size() != document.size())
    return "look-up has " + std::to_string(lookup.size()) + " keys, document " + std::to_string(document.size());
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(document.root(), &iter);
  std::string fault;
  for (;;) {
    char* key = nullptr;
    plist_t value = nullptr;
    plist_dict_next_item(document.root(), iter, &key, &value);
    if (!value) {
      std::free(key);
      break;
    }
    auto b1 = lookup.boolean(key), b2 = settings::booleanReading(value);
    auto s1 = lookup.single(key), s2 = settings::singleReading(value);
    if (b1 != b2 || s1 != s2)
      fault = std::string("key '") + key + "': look-up " + show(b1) + "/" + show(s1) + ", document " + show(b2) +
              "/" + show(s2);
    std::free(key);
    if (!fault.empty()) break;
  }
  std::free(iter);
  return fault;
}

std::string treeRoundTrips(std::string_view bytes) {
  Owned tree{settings::plist::readTree(bytes)};
  if (!tree.node) return "";
  std::string xml;
  if (!settings::plist::writeXml(tree.node, xml)) return "the writer refused a tree the reader accepted";
  Owned again{settings::plist::readTree(xml)};
  if (!again.node) return "the reader rejected what the writer wrote:\n" + xml;
  if (!sameValue(tree.node, again.node)) return "values changed through the writer:\n" + xml;
  return "";
}

std::string toggleKeepsOtherKeys(std::string_view bytes) {
  settings::Document document = settings::Document::parse(bytes);
  const settings::Document original = document;
  const bool enabled = document.boolean("enabled").value_or(true);
  document.setBoolean("enabled", !enabled);
  const std::string xml = document.toXml();
  if (xml.empty()) return "the toggled document was not written";
  const settings::Document written = settings::Document::parse(xml);
  if (written.boolean("enabled") != !enabled) return "the toggle was lost";
  settings::Document expected = original;
  expected.setBoolean("enabled", !enabled);
  if (!sameValue(expected.root(), written.root())) return "other keys changed:\n" + xml;
  const settings::Lookup lookup = settings::Lookup::parse(xml);
  if (lookup.boolean("enabled") != !enabled) return "the look-up missed the toggle";
  return "";
}

}  // namespace fuzz_checks
