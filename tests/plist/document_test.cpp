// The property-list document: every encoding in, XML out, nothing it does not
// change lost. python3's plistlib is the independent judge of the files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/readings.h"
#include "sim/plist/limits.h"
#include "sim/preferences.h"
#include "sim/plist/document.h"
#include "settings/keys.h"
#include "sim/device.h"
#include "tests/support/plistlib.h"
#include "tests/support/temp_root.h"

namespace {

using plist::Document;
using testing_support::python;
using testing_support::plistlibDump;
using testing_support::TempRoot;

// A dictionary holding a value of every property-list type.
const char kEveryType[] = R"PY(
d = {
  'enabled': True, 'forceMode': False, 'Increment': 0.1,
  'small': 7, 'negative': -42, 'big': 2**63 - 1, 'huge': 2**64 - 1,
  'text': 'caf\u00e9 \u2603 <&>', 'empty': '',
  'data': bytes(range(256)), 'date': datetime.datetime(2024, 2, 29, 12, 30, 15),
  'list': [1, 'two', 3.5, [True], {'k': b'\x00'}], 'nested': {'a': {'b': {'c': -1.25e-300}}},
  'LVDisable-com.example.app': 1,
}
)PY";

class DocumentFiles : public ::testing::TestWithParam<const char*> {
 protected:
  TempRoot root_;
  std::string file_ = root_.path() + "/in.plist";
  std::string out_ = root_.path() + "/out.plist";
};

TEST_P(DocumentFiles, ToggleKeepsEveryOtherKeyWithItsTypeAndValue) {
  python(std::string(kEveryType) + "with open('" + file_ + "', 'wb') as f: plistlib.dump(d, f, fmt=plistlib." +
         GetParam() + ")");
  std::string bytes = root_.get("/in.plist");
  Document doc = Document::parse(bytes);
  ASSERT_EQ(doc.size(), 14u);
  doc.setBoolean(settings::kEnabledKey, false);
  root_.put("/out.plist", doc.toXml());

  std::string expected = python(std::string(kEveryType) + "d['enabled'] = False\nprint(canon(d), end='')");
  EXPECT_EQ(plistlibDump(out_), expected);
}

INSTANTIATE_TEST_SUITE_P(Encodings, DocumentFiles, ::testing::Values("FMT_XML", "FMT_BINARY"));

TEST(Document, UnreadableInputReadsAsEmptyDictionary) {
  const std::string cases[] = {
      "",
      "garbage that is no property list",
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><true/></array></plist>",
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><string>x</string></plist>",
      "bplist00",
      std::string("bplist00\x08", 9),
      "<plist><dict><key>enabled</key>",
  };
  for (const auto& bytes : cases) {
    Document doc = Document::parse(bytes);
    EXPECT_EQ(doc.size(), 0u) << bytes;
    EXPECT_FALSE(doc.contains(settings::kEnabledKey));
  }
}

TEST(Document, CopiesAreIndependent) {
  Document a;
  a.setBoolean("x", true);
  Document b = a;
  b.setBoolean("x", false);
  b.remove("missing");
  EXPECT_EQ(testing_support::booleanIn(a, "x"), true);
  EXPECT_EQ(testing_support::booleanIn(b, "x"), false);
  Document c = std::move(b);
  EXPECT_EQ(testing_support::booleanIn(c, "x"), false);
}

}  // namespace
