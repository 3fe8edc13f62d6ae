#include "fuzz/property_checks.h"

#include <plist/plist.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "settings/document.h"
#include "settings/lookup.h"
#include "settings/readings.h"
#include "settings/unicode.h"
#include "settings/xml_writer.h"

namespace fuzz_checks {
namespace {

using settings::Node;
using settings::Type;

std::string show(std::optional<bool> b) { return b ? (*b ? "true" : "false") : "none"; }
std::string show(std::optional<float> f) { return f ? std::to_string(*f) : "none"; }

bool sameScalar(Node a, Node b) {
  switch (a.type()) {
    case Type::Boolean: return a.boolean() == b.boolean();
    case Type::Integer: return a.integer().bits == b.integer().bits && a.integer().isUnsigned == b.integer().isUnsigned;
    case Type::Real: {
      const double x = a.real(), y = b.real();
      return std::memcmp(&x, &y, sizeof x) == 0 || (x != x && y != y);
    }
    case Type::Date: return a.date() == b.date();
    case Type::String:
    case Type::Data: return a.text() == b.text();
    case Type::Uid: return a.uid() == b.uid();
    default: return a.size() == b.size();
  }
}

// True when a key or string holds text the XML form cannot carry; binary
// and old-style files may, and the writer refuses them.
bool holdsNonXmlText(Node node) {
  if (node.type() == Type::String) return !settings::unicode::isXmlText(node.text());
  const bool dict = node.type() == Type::Dictionary;
  for (std::size_t i = 0; i < node.size(); ++i)
    if ((dict && !settings::unicode::isXmlText(node.keyAt(i))) || holdsNonXmlText(node.at(i))) return true;
  return false;
}

}  // namespace

bool sameValue(Node a, Node b) {
  // Compared without recursion: trees may nest as deep as the reader allows.
  std::vector<std::pair<Node, Node>> pending{{a, b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (!x || !y) {
      if (static_cast<bool>(x) != static_cast<bool>(y)) return false;
      continue;
    }
    if (x.type() != y.type() || !sameScalar(x, y)) return false;
    const bool dict = x.type() == Type::Dictionary;
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (dict && x.keyAt(i) != y.keyAt(i)) return false;
      pending.emplace_back(x.at(i), y.at(i));
    }
  }
  return true;
}

std::string lookupAgreesWithDocument(std::string_view bytes) {
  const settings::Lookup lookup = settings::Lookup::parse(bytes);
  const settings::Document document = settings::Document::parse(bytes);
  if (lookup.size() != document.size())
    return "look-up has " + std::to_string(lookup.size()) + " keys, document " + std::to_string(document.size());
  const Node root = document.root();
  for (std::size_t i = 0; i < root.size(); ++i) {
    const std::string_view key = root.keyAt(i);
    const settings::Readings readings = settings::readingsOf(root.at(i));
    const auto b1 = lookup.boolean(key);
    const auto s1 = lookup.single(key);
    if (b1 != readings.boolean || s1 != readings.single)
      return "key '" + std::string(key) + "': look-up " + show(b1) + "/" + show(s1) + ", document " +
             show(readings.boolean) + "/" + show(readings.single);
    if (document.value(key).type() != root.at(i).type()) return "key '" + std::string(key) + "' found elsewhere";
  }
  return "";
}

std::string treeRoundTrips(std::string_view bytes) {
  settings::Tree tree;
  if (!tree.read(std::string(bytes))) return "";
  std::string xml;
  bool tooLarge = false;
  if (!settings::plist::writeXml(tree.root(), xml, &tooLarge))
    return tooLarge || holdsNonXmlText(tree.root()) ? "" : "the writer refused a tree the reader accepted";
  settings::Tree again;
  settings::ReadResult why;
  if (!again.read(xml, &why)) return "the reader rejected what the writer wrote (" + why.describe() + "):\n" + xml;
  if (!sameValue(tree.root(), again.root())) return "values changed through the writer:\n" + xml;
  return "";
}

std::string toggleKeepsOtherKeys(std::string_view bytes) {
  settings::Document document = settings::Document::parse(bytes);
  const settings::Document original = document;
  const bool enabled = document.boolean("enabled").value_or(true);
  const bool hadEnabled = document.contains("enabled");
  document.setBoolean("enabled", !enabled);
  const std::string xml = document.toXml();
  if (xml.empty()) {
    // A new key may not fit a tree read at the limits, nor any change one
    // whose XML exceeds the size limit; otherwise what was read must be
    // writable as it is, and after a value changes.
    if (holdsNonXmlText(original.root())) return "";
    std::string asRead;
    bool tooLarge = false;
    if (!settings::plist::writeXml(original.root(), asRead, &tooLarge))
      return tooLarge ? "" : "the document as read was not written";
    if (!hadEnabled) return "";
    settings::plist::writeXml(document.root(), asRead, &tooLarge);
    return tooLarge ? "" : "the toggled document was not written";
  }
  const settings::Document written = settings::Document::parse(xml);
  if (written.boolean("enabled") != !enabled) return "the toggle was lost";
  settings::Document expected = original;
  expected.setBoolean("enabled", !enabled);
  if (!sameValue(expected.root(), written.root())) return "other keys changed:\n" + xml;
  const settings::Lookup lookup = settings::Lookup::parse(xml);
  if (lookup.boolean("enabled") != !enabled) return "the look-up missed the toggle";

  plist_t peer = nullptr;
  plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &peer);
  std::string fault;
  if (!peer || plist_get_node_type(peer) != PLIST_DICT) {
    fault = "libplist does not read the written file as a dictionary:\n" + xml;
  } else if (plist_dict_get_size(peer) != written.size()) {
    fault = "libplist reads " + std::to_string(plist_dict_get_size(peer)) + " keys, we wrote " +
            std::to_string(written.size()) + ":\n" + xml;
  } else {
    plist_t toggle = plist_dict_get_item(peer, "enabled");
    std::uint8_t value = 2;
    if (toggle && plist_get_node_type(toggle) == PLIST_BOOLEAN) plist_get_bool_val(toggle, &value);
    if (value != (enabled ? 0 : 1)) fault = "libplist misses the toggle:\n" + xml;
  }
  plist_free(peer);
  return fault;
}

}  // namespace fuzz_checks
