// What the reader accepts and rejects in the XML and old-style encodings, and
// the limits it holds every encoding to.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/support/readings.h"
#include "sim/plist/document.h"
#include "sim/plist/limits.h"
#include "sim/plist/lookup.h"
#include "sim/plist/tree.h"
#include "tests/plist/bplist_builder.h"

namespace {

using plist::Document;

std::string plist(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body + "</dict></plist>";
}

std::string stringOf(const Document& doc, const char* key) {
  const plist::Node node = doc.value(key);
  if (!node || node.type() != plist::Type::String) return "<not a string>";
  return std::string(node.text());
}

TEST(Xml, MarkupTheDeviceReaderAccepts) {
  const std::string xml =
      "\xEF\xBB\xBF<?xml version='1.0'?>\n<!-- a comment -->\n"
      "<!DOCTYPE plist SYSTEM \"x\" [ <!ENTITY e \"not expanded\"> ]>\n"
      "<?pi anything?><plist version=\"1.0\" extra = 'x'>\n<dict >\n"
      "<key>a&lt;&amp;&gt;&quot;&apos;</key><string>&#x263A;&#65;<![CDATA[<&>]]><!-- dropped -->z</string>\n"
      "<!-- between --><key>t</key><true></true><key>f</key><false/>\n"
      "<key>hex</key><integer> 0x1F </integer><key>neg</key><integer>-9223372036854775808</integer>\n"
      "<key>cr</key><string>a\r\nb</string><key>empty</key><string/><key></key><string>x</string>\n"
      "</dict>\n</plist>\n<!-- trailing -->\n";
  Document doc = Document::parse(xml);
  EXPECT_EQ(doc.size(), 8u);
  EXPECT_EQ(stringOf(doc, "a<&>\"'"), "\xE2\x98\xBA" "A<&>z");
  EXPECT_EQ(testing_support::booleanIn(doc, "t"), true);
  EXPECT_EQ(testing_support::booleanIn(doc, "f"), false);
  EXPECT_EQ(testing_support::singleIn(doc, "hex"), 31.0f);
  EXPECT_EQ(testing_support::singleIn(doc, "neg"), -9223372036854775808.0f);
  EXPECT_EQ(stringOf(doc, "cr"), "a\r\nb") << "line ends are kept as the device keeps them";
  EXPECT_EQ(stringOf(doc, "empty"), "");
  EXPECT_EQ(stringOf(doc, ""), "x");
  // Without the <plist> wrapper, as the device reads it.
  EXPECT_EQ(testing_support::booleanIn(Document::parse("<dict><key>k</key><true/></dict>"), "k"), true);
}

TEST(Xml, RealsInEveryFormTheDeviceWrites) {
  Document doc = Document::parse(plist(
      "<key>a</key><real>0.5</real><key>b</key><real>-1.5e3</real><key>c</key><real>.25</real>"
      "<key>n</key><real>nan</real><key>i</key><real>+infinity</real><key>j</key><real>-inf</real>"
      "<key>huge</key><real>1e999</real><key>tiny</key><real>1e-999</real><key>int</key><real>3</real>"));
  EXPECT_EQ(testing_support::singleIn(doc, "a"), 0.5f);
  EXPECT_EQ(testing_support::singleIn(doc, "b"), -1500.0f);
  EXPECT_EQ(testing_support::singleIn(doc, "c"), 0.25f);
  EXPECT_EQ(testing_support::singleIn(doc, "int"), 3.0f);
  EXPECT_EQ(testing_support::singleIn(doc, "tiny"), 0.0f);
  // Non-finite reals are values, but never a step.
  for (const char* key : {"n", "i", "j", "huge"}) {
    EXPECT_TRUE(doc.contains(key)) << key;
    EXPECT_EQ(testing_support::singleIn(doc, key), std::nullopt) << key;
    EXPECT_EQ(testing_support::booleanIn(doc, key), true) << key;
  }
}

TEST(Xml, MalformedFilesReadAsEmpty) {
  const std::string bodies[] = {
      "<key>k</key>",                                        // key without value
      "<true/>",                                             // value without key
      "<key>k</key><true/><key>k2</key></dict></plist>",     // cut short
      "<key>k</key><bool/>",                                 // unknown element
      "<key>k</key><string>a<b/></string>",                  // element inside text
      "<key>k</key><string>a</strin>",                       // mismatched end
      "stray text<key>k</key><true/>",                       // text between elements
      "<key>k</key><string>&nbsp;</string>",                 // undeclared entity
      "<key>k</key><string>&#0;</string>",                   // U+0000
      "<key>k</key><string>&#xD800;</string>",               // surrogate
      "<key>k</key><string>\xC3\x28</string>",               // malformed UTF-8
      "<key>k</key><string>\xE0\x80\xAF</string>",           // overlong UTF-8
      std::string("<key>k</key><string>a\0b</string>", 31),  // raw U+0000
      // Characters XML 1.0 cannot carry, raw or as references.
      "<key>k</key><string>a\x01</string>", "<key>k\x1b</key><true/>", "<key>k</key><string>&#x1F;</string>",
      "<key>k</key><string>&#xFFFE;</string>", "<key>k</key><string>\xEF\xBF\xBF</string>",
      "<key>k</key><string><![CDATA[\x0b]]></string>", "<key>k</key><string>abcdefgh\x08ijklmnop</string>",
      "<key>k</key><integer>18446744073709551616</integer>",  // 2^64
      "<key>k</key><integer>-9223372036854775809</integer>",  // below -2^63
      "<key>k</key><integer>1.5</integer>",
      "<key>k</key><integer/>",
      "<key>k</key><real>1,5</real>",
      "<key>k</key><real>0x1p3</real>",
      "<key>k</key><date>2023-02-29T00:00:00Z</date>",  // no such day
      "<key>k</key><date>2024-01-01</date>",
      "<key>k</key><date>1000000000-01-01T00:00:00Z</date>",  // a tenth digit of year
      "<key>k</key><data>AB=C</data>",
      "<key>k</key><data>A</data>",
      "<key>k</key><true>x</true>",
      "<key>k</key><true/><!-- unterminated",
      "<key k=v>k</key><true/>",  // unquoted attribute
  };
  for (const auto& body : bodies) {
    EXPECT_EQ(Document::parse(plist(body)).size(), 0u) << body;
    EXPECT_EQ(plist::Lookup::parse(plist(body)).size(), 0u) << body;
  }
  EXPECT_EQ(Document::parse(plist("<key>k</key><true/>") + "junk").size(), 0u);
  EXPECT_EQ(Document::parse(plist("<key>k</key><true/>")).size(), 1u) << "the frame itself is well-formed";
}

TEST(Xml, DatesAcrossTheWritableYears) {
  Document doc = Document::parse(plist(
      "<key>a</key><date>0001-01-01T00:00:00Z</date><key>b</key><date>9999-12-31T23:59:59Z</date>"
      "<key>c</key><date>2000-02-29T12:00:00Z</date>"));
  EXPECT_EQ(doc.size(), 3u);
  EXPECT_EQ(testing_support::booleanIn(doc, "a"), std::nullopt) << "dates read as absent";
  // The device's "distant past" (year 0), years before it, beyond 9999, and
  // the short years other writers use.
  doc = Document::parse(plist(
      "<key>a</key><date>0000-12-30T00:00:00Z</date><key>b</key><date>-0001-12-31T23:59:59Z</date>"
      "<key>c</key><date>10000-01-01T00:00:00Z</date><key>d</key><date>1-01-01T00:00:00Z</date>"
      "<key>e</key><date>\t-999999999-01-01T00:00:00Z</date>"));
  EXPECT_EQ(doc.value("a").date(), -63114076800.0);
  EXPECT_EQ(doc.value("b").date(), -63114076800.0 - 86400 * 364 - 1);
  EXPECT_EQ(doc.value("c").date(), 252423993600.0);
  EXPECT_EQ(doc.value("d").date(), -63113904000.0);
  EXPECT_EQ(doc.value("e").date(), -31557015113904000.0);
}

TEST(OldStyle, DictionariesArraysStringsDataAndComments) {
  const std::string text =
      "// a comment\n{\n  enabled = 0; /* inline */ forceMode = YES;\n"
      "  \"LVDisable-com.example.app\" = \"1\";\n  Increment = '0.2';\n"
      "  list = ( a, \"b c\", <0fBD 77>, (), {} , );\n"
      "  escapes = \"t\\tn\\n q\\\" u\\U00e9 \\uD83D\\uDE00 o\\101 x\\q\";\n"
      "  path = /var/mobile:x.y-z_$;\n"
      "  last = end\n}\n";
  Document doc = Document::parse(text);
  EXPECT_EQ(doc.size(), 8u);
  EXPECT_EQ(testing_support::booleanIn(doc, "enabled"), false);
  EXPECT_EQ(testing_support::booleanIn(doc, "forceMode"), true);
  EXPECT_EQ(testing_support::booleanIn(doc, "LVDisable-com.example.app"), true);
  EXPECT_EQ(testing_support::singleIn(doc, "Increment"), 0.2f);
  EXPECT_EQ(stringOf(doc, "escapes"), "t\tn\n q\" u\xC3\xA9 \xF0\x9F\x98\x80 oA xq");
  EXPECT_EQ(stringOf(doc, "path"), "/var/mobile:x.y-z_$");
  const plist::Node list = doc.value("list");
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list.at(2).type(), plist::Type::Data);
  EXPECT_EQ(list.at(2).text(), "\x0f\xbd\x77");
  // A file of bare pairs is a dictionary.
  EXPECT_EQ(testing_support::singleIn(Document::parse("enabled = NO;\nIncrement = 0.5;\n"), "Increment"), 0.5f);
}

TEST(OldStyle, OctalEscapesAboveAsciiAreNextStepCharacters) {
  const Document doc = Document::parse("{ a = \"\\201\\200\\244\\376\\377\\1010\"; }");
  EXPECT_EQ(stringOf(doc, "a"), "\xC3\x80\xC2\xA0\xE2\x81\x84\xEF\xBF\xBD\xEF\xBF\xBD" "A0");
}

TEST(OldStyle, MalformedFilesReadAsEmpty) {
  for (const char* text : {"{ a = b; ", "{ a = ; }", "{ a b; }", "{ = b; }", "{ a = b; } }", "{ a = <0f1>; }",
                           "{ a = <zz>; }", "{ a = \"open; }", "{ a = b /* open }", "{ a = \"\\000\"; }",
                           "{ a = \"\\400\"; }", "{ a = \"\\UD800\"; }", "{ a = b c; }", "( a b )", ""}) {
    EXPECT_EQ(Document::parse(text).size(), 0u) << text;
    EXPECT_FALSE(plist::Tree().read(text)) << text;
  }
}

// `depth` nested containers holding the key, in each text encoding.
std::string nestedXml(int depth) {
  std::string xml = "<plist>";
  for (int i = 1; i < depth; ++i) xml += "<dict><key>k</key>";
  xml += "<dict><key>k</key><true/></dict>";
  for (int i = 1; i < depth; ++i) xml += "</dict>";
  return xml + "</plist>";
}

std::string nestedText(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "{ k = ";
  text += "1;";
  for (int i = 0; i < depth; ++i) text += "};";
  text.pop_back();
  return text;
}

TEST(Limits, NestingUpToTheDepthLimitReadsOneMoreDoesNot) {
  const int limit = plist::kMaxDepth;
  EXPECT_EQ(Document::parse(nestedXml(limit)).size(), 1u);
  EXPECT_EQ(Document::parse(nestedXml(limit + 1)).size(), 0u);
  EXPECT_EQ(Document::parse(nestedText(limit)).size(), 1u);
  EXPECT_EQ(Document::parse(nestedText(limit + 1)).size(), 0u);
  // The innermost array holds a string, so `n` arrays are `n` levels.
  auto arrays = [](int n) { return plist::Tree().read(bplist_builder::nestedArrays(n)); };
  EXPECT_TRUE(arrays(limit));
  EXPECT_FALSE(arrays(limit + 1));
}

std::string manyKeysXml(std::size_t keys) {
  std::string xml = "<plist><dict>";
  for (std::size_t i = 0; i < keys; ++i) xml += "<key>LVDisable-com.example.app" + std::to_string(i) + "</key><true/>";
  return xml + "</dict></plist>";
}

TEST(Limits, TenThousandKeysReadButTheObjectBudgetHolds) {
  Document doc = Document::parse(manyKeysXml(10000));
  EXPECT_EQ(doc.size(), 10000u);
  EXPECT_EQ(testing_support::booleanIn(plist::Lookup::parse(manyKeysXml(10000)), "LVDisable-com.example.app9999"), true);
  // The root, its keys and its values all count.
  const std::size_t fits = (plist::kMaxObjects - 1) / 2;
  EXPECT_EQ(plist::Lookup::parse(manyKeysXml(fits)).size(), fits);
  EXPECT_EQ(plist::Lookup::parse(manyKeysXml(fits + 1)).size(), 0u);
}

TEST(Limits, FilesBeyondTheSizeLimitReadAsEmpty) {
  std::string big = plist("<key>k</key><true/>");
  big.insert(big.size() - 8, std::string(plist::kMaxFileBytes - big.size() + 1, ' '));
  ASSERT_GT(big.size(), plist::kMaxFileBytes);
  EXPECT_EQ(Document::parse(big).size(), 0u);
  big.erase(big.size() - 10, 2);
  EXPECT_EQ(Document::parse(big).size(), 1u);
}

}  // namespace
