// The document's own tree: order as read, keys found through the index,
// duplicates, changes to the root, and values a caller builds.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/readings.h"
#include "fuzz/property_checks.h"
#include "sim/plist/document.h"
#include "sim/plist/lookup.h"
#include "sim/plist/tree.h"
#include "tests/plist/bplist_builder.h"

namespace {

using plist::Document;
using plist::Node;
using plist::Type;
using plist::Value;

std::string xmlDict(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string xml = "<plist><dict>";
  for (const auto& [key, value] : entries) xml += "<key>" + key + "</key>" + value;
  return xml + "</dict></plist>";
}

std::vector<std::string> keysOf(Node dict) {
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < dict.size(); ++i) keys.emplace_back(dict.keyAt(i));
  return keys;
}

std::string appKey(int i) { return "LVDisable-com.example.app" + std::to_string(i); }

// Small dictionaries are searched in order, larger ones through an index;
// both keep the order read and treat duplicates alike.
class DictionarySizes : public ::testing::TestWithParam<int> {};

TEST_P(DictionarySizes, OrderAsReadAndEveryKeyFound) {
  const int n = GetParam();
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = n - 1; i >= 0; --i) entries.emplace_back(appKey(i), "<integer>" + std::to_string(i) + "</integer>");
  Document doc = Document::parse(xmlDict(entries));
  ASSERT_EQ(doc.size(), static_cast<std::size_t>(n));
  EXPECT_EQ(doc.root().keyAt(0), appKey(n - 1)) << "not sorted, as read";
  for (int i = 0; i < n; ++i) ASSERT_EQ(doc.value(appKey(i)).integer().bits, static_cast<std::uint64_t>(i)) << i;
  EXPECT_FALSE(doc.value(appKey(n)));
  EXPECT_FALSE(doc.value("LVDisable-com.example.app"));
  EXPECT_FALSE(doc.value(""));
}

TEST_P(DictionarySizes, DuplicateKeysKeepTheFirstPlaceAndTheLastValue) {
  const int n = GetParam();
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < n; ++i) entries.emplace_back(appKey(i), "<false/>");
  entries.emplace_back(appKey(0), "<string>second</string>");
  entries.emplace_back(appKey(n / 2), "<true/>");
  const std::string xml = xmlDict(entries);
  Document doc = Document::parse(xml);
  ASSERT_EQ(doc.size(), static_cast<std::size_t>(n));
  EXPECT_EQ(doc.root().keyAt(0), appKey(0));
  EXPECT_EQ(doc.value(appKey(0)).text(), "second");
  EXPECT_EQ(testing_support::booleanIn(doc, appKey(n / 2)), true);
  EXPECT_EQ(fuzz_checks::lookupAgreesWithDocument(xml), "");
}

TEST_P(DictionarySizes, NewKeysGoLastChangedOnesStayRemovedOnesGo) {
  const int n = GetParam();
  Document doc;
  for (int i = 0; i < n; ++i) doc.setBoolean(appKey(i), false);
  doc.setBoolean(appKey(0), true);
  doc.setValue("list", Value::array({Value::integer(std::int64_t{1})}));
  doc.setBoolean("last", true);  // after a container: the root's entries move once
  doc.remove(appKey(n / 2));
  doc.remove("absent");
  ASSERT_EQ(doc.size(), static_cast<std::size_t>(n + 1));
  std::vector<std::string> expected;
  for (int i = 0; i < n; ++i)
    if (i != n / 2) expected.push_back(appKey(i));
  expected.push_back("list");
  expected.push_back("last");
  EXPECT_EQ(keysOf(doc.root()), expected);
  EXPECT_EQ(testing_support::booleanIn(doc, appKey(0)), true);
  EXPECT_FALSE(doc.contains(appKey(n / 2)));
  for (int i = 1; i < n; ++i) {
    if (i == n / 2) continue;
    ASSERT_EQ(testing_support::booleanIn(doc, appKey(i)), false) << i;
  }
  EXPECT_EQ(doc.value("list").at(0).integer().bits, 1u);

  Document copy = doc;
  copy.setBoolean(appKey(0), false);
  copy.remove("list");
  EXPECT_EQ(testing_support::booleanIn(copy, appKey(0)), false);
  EXPECT_EQ(testing_support::booleanIn(doc, appKey(0)), true);
  EXPECT_TRUE(doc.contains("list"));
  EXPECT_EQ(Document::parse(doc.toXml()).size(), doc.size());
  EXPECT_TRUE(fuzz_checks::sameValue(Document::parse(doc.toXml()).root(), doc.root()));
}

INSTANTIATE_TEST_SUITE_P(Entries, DictionarySizes, ::testing::Values(2, 8, 9, 100, 10000));

TEST(Tree, NestedDictionariesAreIndexedToo) {
  std::string inner = "<dict>";
  for (int i = 0; i < 50; ++i) inner += "<key>k" + std::to_string(i) + "</key><integer>" + std::to_string(i) + "</integer>";
  inner += "</dict>";
  Document doc = Document::parse(xmlDict({{"outer", inner}, {"after", "<true/>"}}));
  const Node outer = doc.value("outer");
  ASSERT_EQ(outer.type(), Type::Dictionary);
  ASSERT_EQ(outer.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(outer.find("k" + std::to_string(i)).integer().bits, static_cast<std::uint64_t>(i));
  EXPECT_FALSE(outer.find("k50"));
  EXPECT_EQ(testing_support::booleanIn(doc, "after"), true);
}

TEST(Tree, EveryTypeFromTheBinaryEncoding) {
  namespace bp = bplist_builder;
  // {"i": -2, "u": 2^64-1, "r": -0.0, "d": date -1, "x": data, "s": UTF-16, "t": true, "id": uid 7}
  const std::string minusZero = "\x23" + bp::bigEndian(0x8000000000000000ull, 8);
  const std::string file = bp::build({"\xD8\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F\x10",
                                      bp::ascii("i"), bp::ascii("u"), bp::ascii("r"), bp::ascii("d"), bp::ascii("x"),
                                      bp::ascii("s"), bp::ascii("t"), bp::ascii("id"),
                                      "\x13" + bp::bigEndian(~1ull, 8),
                                      "\x14" + std::string(8, '\0') + std::string(8, '\xff'), minusZero,
                                      "\x33" + bp::bigEndian(0xBFF0000000000000ull, 8), std::string("\x42\x00\xff", 3),
                                      std::string("\x61\x00\xe9", 3), "\x09", "\x80\x07"});
  Document doc = Document::parse(file);
  ASSERT_EQ(doc.size(), 8u);
  EXPECT_EQ(doc.value("i").integer().bits, ~1ull);
  EXPECT_FALSE(doc.value("i").integer().isUnsigned);
  EXPECT_TRUE(doc.value("u").integer().isUnsigned);
  EXPECT_TRUE(std::signbit(doc.value("r").real()));
  EXPECT_EQ(doc.value("d").date(), -1.0);
  EXPECT_EQ(doc.value("x").type(), Type::Data);
  EXPECT_EQ(doc.value("x").text(), std::string("\x00\xff", 2));
  EXPECT_EQ(doc.value("s").text(), "\xC3\xA9");
  EXPECT_EQ(doc.value("t").boolean(), true);
  EXPECT_EQ(doc.value("id").type(), Type::Uid);
  EXPECT_EQ(doc.value("id").uid(), 7u);
  EXPECT_TRUE(fuzz_checks::sameValue(Document::parse(doc.toXml()).root(), doc.root()));
}

TEST(Tree, ReferenceDictionariesBecomeUidsWhateverBuildsThem) {
  Document doc;
  doc.setValue("ref", Value::dictionary({{"CF$UID", Value::integer(std::int64_t{5})}}));
  doc.setValue("not", Value::dictionary({{"CF$UID", Value::integer(std::int64_t{-1})}}));
  EXPECT_EQ(doc.value("ref").type(), Type::Uid);
  EXPECT_EQ(doc.value("ref").uid(), 5u);
  EXPECT_EQ(doc.value("not").type(), Type::Dictionary);
  Document read = Document::parse(xmlDict({{"ref", "<dict><key>CF$UID</key><integer>9</integer></dict>"}}));
  EXPECT_EQ(read.value("ref").uid(), 9u);
  EXPECT_EQ(Document::parse("<plist><dict><key>CF$UID</key><integer>1</integer></dict></plist>").size(), 0u)
      << "a root that is a reference is no dictionary";
}

TEST(Tree, DecodedTextOutlivesTheParse) {
  // UTF-16 keys and values are converted; entities are decoded.
  std::string xml = xmlDict({{"caf&#233;", "<string>a&amp;b</string>"}, {"plain", "<string>x</string>"}});
  std::string wide = "\xFF\xFE";
  for (char c : xml) wide += c, wide += '\0';
  for (const std::string& bytes : {xml, wide}) {
    Document doc = Document::parse(bytes);
    Document moved = std::move(doc);
    EXPECT_EQ(moved.value("caf\xC3\xA9").text(), "a&b");
    EXPECT_EQ(moved.value("plain").text(), "x");
  }
}

TEST(Tree, ReadFailureLeavesAnEmptyDictionary) {
  plist::Tree tree;
  EXPECT_TRUE(tree.read("<plist><array><true/></array></plist>"));
  EXPECT_EQ(tree.root().type(), Type::Array);
  EXPECT_FALSE(tree.read("<plist><array><true/></plist>"));
  EXPECT_EQ(tree.root().type(), Type::Dictionary);
  EXPECT_EQ(tree.root().size(), 0u);
  tree.set("k", Value::boolean(true));
  EXPECT_TRUE(tree.root().find("k").boolean());
}

}  // namespace
