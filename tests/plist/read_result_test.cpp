// Why a read gave an empty dictionary, and the encodings XML declarations
// name.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/support/readings.h"
#include "fuzz/property_checks.h"
#include "sim/plist/document.h"
#include "sim/plist/limits.h"
#include "sim/plist/lookup.h"
#include "tests/plist/bplist_builder.h"

namespace {

namespace bp = bplist_builder;
using plist::Document;
using plist::ReadResult;

std::string why(const std::string& bytes) {
  ReadResult result;
  Document doc = Document::parse(bytes, &result);
  EXPECT_EQ(doc.size(), 0u) << bytes;
  EXPECT_FALSE(result);
  return result.describe();
}

TEST(ReadResult, ADictionaryIsNoFault) {
  ReadResult result;
  result.reason = "stale";
  Document doc = Document::parse("<plist><dict><key>k</key><true/></dict></plist>", &result);
  EXPECT_TRUE(result);
  EXPECT_EQ(result.describe(), "dictionary");
  EXPECT_EQ(doc.size(), 1u);
  EXPECT_TRUE(Document::parse("<dict/>", &result).size() == 0 && result) << "an empty dictionary is no fault";
}

TEST(ReadResult, BinaryFaultsGiveTheOffset) {
  // {"k": ref 9}: the value refers past the three objects the file has.
  std::string file = bp::build({"\xD1\x01\x09", bp::ascii("k"), "\x09"});
  EXPECT_EQ(why(file), "binary offset 0xa holds a reference out of range");
  // The offset table sends object 1 to 0x1f4, past the objects.
  file = bp::build({"\xD1\x01\x02", bp::ascii("k"), "\x09"}, 2);
  const std::size_t table = file.size() - 32 - 6;
  file[table + 2] = '\x01', file[table + 3] = '\xf4';
  EXPECT_EQ(why(file), "binary offset 0x" + [&] {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%zx", table + 2);
    return std::string(hex);
  }() + " offset-table entry out of range");
  // The same for an entry no object refers to.
  file = bp::build({"\xD1\x01\x02", bp::ascii("k"), "\x09", "\x09"});
  file[file.size() - 32 - 1] = '\x7f';
  EXPECT_EQ(why(file), "binary offset 0x12 offset-table entry out of range");
  EXPECT_EQ(why(bp::build({"\xD1\x01\x02", bp::ascii("k"), "\x0f"})), "binary offset 0xd has an unknown marker");
  // Values the device cannot hold, at the object's own offset.
  const std::pair<std::string, const char*> faults[] = {
      {"\x15" + std::string(32, '\0'), "has an integer of an invalid size"},
      {"\x14" + std::string(7, '\0') + "\x01" + std::string(8, '\0'), "has an integer beyond 64 bits"},
      {"\x84" + std::string(5, '\x01'), "has a reference wider than 32 bits"},
      {"\x11\x01", "is malformed"},  // runs into the offset table
  };
  for (const auto& [object, what] : faults)
    EXPECT_EQ(why(bp::build({"\xD1\x01\x02", bp::ascii("k"), object})), std::string("binary offset 0xd ") + what);
  EXPECT_EQ(why(bp::build({"\x33\x7f\xf8" + std::string(6, '\0')})), "binary offset 0x8 has a date out of range");
  EXPECT_EQ(why("bplist00"), "binary offset 0x0 too short for a binary property list");
  EXPECT_NE(why(bp::nestedArrays(1000)).find("nests deeper than the limit"), std::string::npos);
  EXPECT_NE(why(bp::sharedChain(30)).find("goes past the limit of objects"), std::string::npos);
}

TEST(ReadResult, TextFaultsGiveTheLine) {
  EXPECT_EQ(why("<?xml version=\"1.0\"?>\n<plist>\n<dict>\n<key>k</key><integer>x</integer>\n</dict></plist>"),
            "XML line 4: has an invalid integer");
  EXPECT_EQ(why("<plist>\n<dict>\n<key>k</key>\n<true/>\n</array></plist>"), "XML line 5: has a mismatched end tag");
  EXPECT_EQ(why("<plist><dict><key>k</key><bogus/></dict></plist>"), "XML line 1: has an unknown element");
  EXPECT_EQ(why("{\n a = b;\n c = \"open;\n}\n"), "text line 3: has an unterminated string");
  EXPECT_EQ(why("{ a = b; } }"), "text line 1: has content after the property list");
}

TEST(ReadResult, WholeFileFaults) {
  EXPECT_EQ(why(""), "file is empty");
  EXPECT_EQ(why("<plist><array><true/></array></plist>"), "root is an array, not a dictionary");
  EXPECT_EQ(why("<plist><string>x</string></plist>"), "root is a single value, not a dictionary");
  EXPECT_EQ(why(std::string(plist::kMaxFileBytes + 1, ' ')), "file is larger than the limit");
}

const char kLatin1Body[] =
    "<plist version=\"1.0\"><dict><key>caf\xE9</key><string>\xFC\xDF \xA9 &#233;</string>"
    "<key>enabled</key><true/></dict></plist>";

TEST(DeclaredEncoding, Latin1IsConvertedAndWrittenBackAsUtf8) {
  for (const char* name : {"ISO-8859-1", "iso-8859-1", "latin1", "ISO_8859-1"}) {
    const std::string bytes = std::string("<?xml version=\"1.0\" encoding=\"") + name + "\"?>\n" + kLatin1Body;
    Document doc = Document::parse(bytes);
    ASSERT_EQ(doc.size(), 2u) << name;
    EXPECT_EQ(doc.value("caf\xC3\xA9").text(), "\xC3\xBC\xC3\x9F \xC2\xA9 \xC3\xA9");
    EXPECT_EQ(fuzz_checks::lookupAgreesWithDocument(bytes), "");
    EXPECT_EQ(fuzz_checks::toggleKeepsOtherKeys(bytes), "");
    doc.setBoolean("enabled", false);
    Document again = Document::parse(doc.toXml());
    EXPECT_EQ(again.value("caf\xC3\xA9").text(), "\xC3\xBC\xC3\x9F \xC2\xA9 \xC3\xA9");
  }
}

TEST(DeclaredEncoding, AsciiIsCheckedOthersAreRefusedWithTheirName) {
  const std::string ascii = "<?xml version='1.0' encoding='US-ASCII'?>\n<plist><dict><key>k</key><true/></dict></plist>";
  EXPECT_EQ(testing_support::booleanIn(Document::parse(ascii), "k"), true);
  EXPECT_EQ(why("<?xml version='1.0' encoding='us-ascii'?>\n<plist><dict>\n<key>caf\xC3\xA9</key><true/></dict></plist>"),
            "XML line 3: is not US-ASCII as declared");
  EXPECT_EQ(why("<?xml version=\"1.0\" encoding=\"EBCDIC-US\"?><plist><dict/></plist>"),
            "XML declares an unsupported encoding \"EBCDIC-US\"");
  EXPECT_EQ(why("<?xml version=\"1.0\" encoding=\"windows-1252\"?><plist><dict/></plist>"),
            "XML declares an unsupported encoding \"windows-1252\"");
  // UTF-8 by name or by default, and a byte-order mark over the declaration.
  for (const std::string& bytes :
       {std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?><plist><dict><key>k</key><true/></dict></plist>"),
        std::string("<?xml version=\"1.0\"?><plist><dict><key>k</key><true/></dict></plist>"),
        std::string("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"EBCDIC\"?><plist><dict><key>k</key><true/></dict></plist>")})
    EXPECT_EQ(testing_support::booleanIn(Document::parse(bytes), "k"), true) << bytes;
  EXPECT_EQ(plist::Lookup::parse("<?xml version=\"1.0\" encoding=\"EBCDIC-US\"?><plist><dict><key>k</key><true/></dict></plist>")
                .size(),
            0u);
}

}  // namespace
