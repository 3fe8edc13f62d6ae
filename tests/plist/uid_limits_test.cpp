// Reader and writer count a keyed-archive reference alike: whatever the
// reader accepts, at the limits too, the writer writes after a key changes,
// and that reads back the same.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/readings.h"
#include "fuzz/property_checks.h"
#include "sim/plist/document.h"
#include "sim/plist/limits.h"
#include "sim/plist/lookup.h"
#include "sim/plist/xml_writer.h"
#include "tests/plist/bplist_builder.h"

namespace {

namespace bp = bplist_builder;
using plist::Document;

std::string ref(std::uint64_t value) { return bp::bigEndian(value, 4); }

// {"enabled": true, "list": [uid 1 x uids, true x padding]}, the uid shared.
// It counts 5 + 3 * uids + padding objects.
std::string sharedUids(std::size_t uids, std::size_t padding) {
  std::vector<std::uint64_t> refs(uids, 5);
  refs.insert(refs.end(), padding, 3);
  return bp::build({"\xD2" + ref(1) + ref(2) + ref(3) + ref(4), bp::ascii("enabled"), bp::ascii("list"), "\x09",
                    bp::array(refs, 4), "\x80\x01"},
                   4, 4);
}

// {"enabled": true, "k": [[...[uid 1]...]]} with `arrays` arrays: the uid
// lies inside arrays + 1 containers.
std::string nestedUid(int arrays) {
  std::vector<std::string> objects = {"\xD2" + ref(1) + ref(2) + ref(3) + ref(4), bp::ascii("enabled"),
                                      bp::ascii("k"), "\x09"};
  for (int i = 0; i < arrays; ++i) objects.push_back(bp::array({static_cast<std::uint64_t>(objects.size()) + 1}, 4));
  objects.push_back("\x80\x01");
  return bp::build(objects, 4, 4);
}

// The switch's tap on `bytes`: reads, flips "enabled", writes; the written
// file must read back with the flip and every other value.
void expectTapWritten(const std::string& bytes) {
  Document doc = Document::parse(bytes);
  ASSERT_EQ(doc.size(), 2u);
  doc.setBoolean("enabled", false);
  const std::string xml = doc.toXml();
  ASSERT_FALSE(xml.empty()) << "the writer refused what the reader accepted";
  plist::ReadResult why;
  Document again = Document::parse(xml, &why);
  ASSERT_TRUE(why) << why.describe();
  EXPECT_EQ(testing_support::booleanIn(again, "enabled"), false);
  EXPECT_TRUE(fuzz_checks::sameValue(doc.root(), again.root()));
  EXPECT_EQ(fuzz_checks::toggleKeepsOtherKeys(bytes), "");
}

TEST(UidLimits, ObjectBudgetCountsAReferenceAsItsXmlForm) {
  const std::size_t uids = (plist::kMaxObjects - 5) / 3;
  const std::size_t padding = plist::kMaxObjects - 5 - 3 * uids;
  const std::string atLimit = sharedUids(uids, padding);
  expectTapWritten(atLimit);
  EXPECT_EQ(testing_support::booleanIn(plist::Lookup::parse(atLimit), "enabled"), true);

  plist::ReadResult why;
  EXPECT_EQ(Document::parse(sharedUids(uids, padding + 1), &why).size(), 0u);
  EXPECT_NE(why.describe().find("goes past the limit of objects"), std::string::npos) << why.describe();
  EXPECT_EQ(plist::Lookup::parse(sharedUids(uids, padding + 1)).size(), 0u);
  // 90,000 references: fewer objects than the budget one by one, more than
  // it as the XML the writer makes of them.
  EXPECT_EQ(Document::parse(sharedUids(90000, 0)).size(), 0u);
}

TEST(UidLimits, DepthCountsTheReferenceAsALevel) {
  const int deepest = plist::kMaxDepth - 2;  // the root, the arrays, the reference's level
  expectTapWritten(nestedUid(deepest));
  plist::ReadResult why;
  EXPECT_EQ(Document::parse(nestedUid(deepest + 1), &why).size(), 0u);
  EXPECT_NE(why.describe().find("nests a reference deeper than the limit"), std::string::npos) << why.describe();
  EXPECT_EQ(plist::Lookup::parse(nestedUid(deepest + 1)).size(), 0u);
}

TEST(WriteLimits, XmlLargerThanTheReaderReadsIsNotWritten) {
  // {"enabled": true, "list": [s x 20]}, s one shared string of 1 MiB: 20 MiB
  // of text, within what a read may expand, but as XML past the file limit.
  const std::string text(std::size_t{1} << 20, 'x');
  const std::string file = bp::build({"\xD2" + ref(1) + ref(2) + ref(3) + ref(4), bp::ascii("enabled"),
                                      bp::ascii("list"), "\x09", bp::array(std::vector<std::uint64_t>(20, 5), 4),
                                      "\x5F\x12" + bp::bigEndian(text.size(), 4) + text},
                                     4, 4);
  Document doc = Document::parse(file);
  ASSERT_EQ(doc.size(), 2u);
  doc.setBoolean("enabled", false);
  std::string xml;
  plist::XmlRefusal why = plist::XmlRefusal::kNone;
  EXPECT_FALSE(plist::writeXml(doc.root(), xml, &why));
  EXPECT_EQ(why, plist::XmlRefusal::kSize);
  EXPECT_EQ(doc.toXml(), "") << "written, it would read back as no settings at all";
  EXPECT_EQ(fuzz_checks::toggleKeepsOtherKeys(file), "");
  doc.remove("list");
  EXPECT_NE(doc.toXml(), "");
}

TEST(UidLimits, AFullTreeStillTakesAChangedValueButNotANewKey) {
  const std::size_t uids = (plist::kMaxObjects - 5) / 3;
  Document doc = Document::parse(sharedUids(uids, plist::kMaxObjects - 5 - 3 * uids));
  ASSERT_EQ(doc.size(), 2u);
  doc.setBoolean("other", true);
  plist::XmlRefusal why = plist::XmlRefusal::kNone;
  EXPECT_EQ(doc.toXml(&why), "") << "two more objects would not read back";
  EXPECT_EQ(plist::describeXmlRefusal(why), "more than 262144 keys and values");
  doc.remove("other");
  EXPECT_NE(doc.toXml(), "");
}

}  // namespace
