#include "fuzz/property_checks.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "sim/plist/document.h"
#include "sim/plist/lookup.h"
#include "sim/plist/preference_value.h"
#include "sim/plist/unicode.h"
#include "sim/plist/xml_writer.h"

namespace fuzz_checks {
namespace {

using plist::Node;
using plist::Type;

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

// True when a key or string holds text the XML form cannot carry, or a date
// has a fraction of a second; binary and old-style files may, and the writer
// refuses them.
bool holdsWhatXmlCannotCarry(Node node) {
  if (node.type() == Type::String) return !plist::unicode::isXmlText(node.text());
  if (node.type() == Type::Date) return node.date() != std::floor(node.date());
  const bool dict = node.type() == Type::Dictionary;
  for (std::size_t i = 0; i < node.size(); ++i)
    if ((dict && !plist::unicode::isXmlText(node.keyAt(i))) || holdsWhatXmlCannotCarry(node.at(i))) return true;
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
  const plist::Lookup lookup = plist::Lookup::parse(bytes);
  const plist::Document document = plist::Document::parse(bytes);
  if (lookup.size() != document.size())
    return "look-up has " + std::to_string(lookup.size()) + " keys, document " + std::to_string(document.size());
  const Node root = document.root();
  for (std::size_t i = 0; i < root.size(); ++i) {
    const std::string_view key = root.keyAt(i);
    const auto found = lookup.value(key);
    const host::PreferenceValue expected = plist::preferenceValueOf(root.at(i));
    // Numbers compared bit for bit, so that NaN equals NaN and -0.0 differs.
    if (!found || found->type != expected.type || found->text != expected.text ||
        std::memcmp(&found->number, &expected.number, sizeof(double)) != 0)
      return "key '" + std::string(key) + "': the look-up hands over another value than the document's";
    if (document.value(key).type() != root.at(i).type()) return "key '" + std::string(key) + "' found elsewhere";
  }
  return "";
}

std::string treeRoundTrips(std::string_view bytes) {
  plist::Tree tree;
  if (!tree.read(std::string(bytes))) return "";
  std::string xml;
  plist::XmlRefusal refusal = plist::XmlRefusal::kNone;
  if (!plist::writeXml(tree.root(), xml, &refusal))
    return refusal == plist::XmlRefusal::kSize || holdsWhatXmlCannotCarry(tree.root())
               ? ""
               : "the writer refused a tree the reader accepted: " + plist::describeXmlRefusal(refusal);
  plist::Tree again;
  plist::ReadResult why;
  if (!again.read(xml, &why)) return "the reader rejected what the writer wrote (" + why.describe() + "):\n" + xml;
  if (!sameValue(tree.root(), again.root())) return "values changed through the writer:\n" + xml;
  return "";
}

std::string toggleKeepsOtherKeys(std::string_view bytes) {
  plist::Document document = plist::Document::parse(bytes);
  const plist::Document original = document;
  const plist::Node stored = document.value("enabled");
  const bool enabled = stored && stored.type() == plist::Type::Boolean ? stored.boolean() : true;
  const bool hadEnabled = document.contains("enabled");
  document.setBoolean("enabled", !enabled);
  const std::string xml = document.toXml();
  if (xml.empty()) {
    // A new key may not fit a tree read at the limits, nor any change one
    // whose XML exceeds the size limit; otherwise what was read must be
    // writable as it is, and after a value changes.
    if (holdsWhatXmlCannotCarry(original.root())) return "";
    std::string asRead;
    plist::XmlRefusal why = plist::XmlRefusal::kNone;
    if (!plist::writeXml(original.root(), asRead, &why))
      return why == plist::XmlRefusal::kSize ? "" : "the document as read was not written";
    if (!hadEnabled) return "";
    plist::writeXml(document.root(), asRead, &why);
    return why == plist::XmlRefusal::kSize ? "" : "the toggled document was not written";
  }
  const plist::Document written = plist::Document::parse(xml);
  const plist::Node toggled = written.value("enabled");
  if (!toggled || toggled.type() != plist::Type::Boolean || toggled.boolean() == enabled) return "the toggle was lost";
  plist::Document expected = original;
  expected.setBoolean("enabled", !enabled);
  if (!sameValue(expected.root(), written.root())) return "other keys changed:\n" + xml;
  const plist::Lookup lookup = plist::Lookup::parse(xml);
  const auto looked = lookup.value("enabled");
  if (!looked || looked->number != (enabled ? 0 : 1)) return "the look-up missed the toggle";

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
