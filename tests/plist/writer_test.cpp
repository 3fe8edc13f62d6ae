// The XML writer loses nothing the reader accepted: every value reads back
// the same through our reader, and python3's plistlib reads what it can
// express.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/readings.h"
#include "fuzz/property_checks.h"
#include "sim/plist/document.h"
#include "settings/keys.h"
#include "settings/store.h"
#include "sim/plist/tree.h"
#include "sim/device.h"
#include "sim/journal.h"
#include "tests/support/plistlib.h"
#include "tests/support/temp_root.h"

namespace {

using plist::Document;
using testing_support::TempRoot;

// Writes `doc`, reads it back and checks every value is unchanged.
void expectRoundTrip(const Document& doc) {
  const std::string xml = doc.toXml();
  ASSERT_FALSE(xml.empty());
  Document again = Document::parse(xml);
  EXPECT_TRUE(fuzz_checks::sameValue(doc.root(), again.root())) << xml;
}

TEST(Writer, ExtremeNumbersReadBackExactly) {
  Document doc;
  const double reals[] = {0.1, -0.0, 5e-324, std::numeric_limits<double>::max(), 1.0 / 3, -2.5e-300,
                          std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(), 123456789.123456789};
  int i = 0;
  for (double r : reals) doc.setValue("r" + std::to_string(i++), plist::Value::real(r));
  doc.setValue("umax", plist::Value::integer(plist::Integer{~0ull, true}));
  doc.setValue("u63", plist::Value::integer(plist::Integer{1ull << 63, true}));
  doc.setValue("min", plist::Value::integer(plist::Integer{1ull << 63, false}));
  doc.setValue("minus", plist::Value::integer(plist::Integer{~0ull, false}));
  expectRoundTrip(doc);
  Document again = Document::parse(doc.toXml());
  EXPECT_EQ(again.value("umax").integer().isUnsigned, true);
  EXPECT_EQ(testing_support::singleIn(again, "minus"), -1.0f);
  EXPECT_TRUE(std::signbit(again.value("r1").real()));
}

TEST(Writer, DatesOfEveryWritableYear) {
  // Dates before 2001, before year 1000, in year 1 and far ahead.
  Document doc;
  const double dates[] = {0, -1, -86400 * 365.25 * 101, -63113904000.0, 63113904000.0, 252423993599.0,
                          252423993600.0, -63114076800.0, -63113904001.0 - 86400 * 366, 1e16, -1e16};
  int i = 0;
  for (double d : dates) doc.setValue("d" + std::to_string(i++), plist::Value::date(d));
  expectRoundTrip(doc);
  const std::string xml = doc.toXml();
  EXPECT_NE(xml.find("<date>0001-01-01T00:00:00Z</date>"), std::string::npos);
  EXPECT_NE(xml.find("<date>2000-12-31T23:59:59Z</date>"), std::string::npos);
  EXPECT_NE(xml.find("<date>9999-12-31T23:59:59Z</date>"), std::string::npos);
  EXPECT_NE(xml.find("<date>10000-01-01T00:00:00Z</date>"), std::string::npos);
  EXPECT_NE(xml.find("<date>-0001-12-31T23:59:59Z</date>"), std::string::npos);
}

TEST(Writer, TextWithMarkupControlCharactersAndLineEnds) {
  Document doc;
  const char* texts[] = {"<&>\"']]>", "a\rb\r\nc\n", "tab\there", "\x7f\xC2\x80\xEF\xBF\xBD",
                         "caf\xC3\xA9 \xF0\x9F\x98\x80", ""};
  int i = 0;
  for (const char* t : texts) doc.setValue("s" + std::to_string(i++), plist::Value::string(t));
  doc.setValue("key <&> \r", plist::Value::boolean(true));
  expectRoundTrip(doc);
}

TEST(Writer, RefusesWhatTheReaderWouldNotReadBack) {
  Document invalidUtf8;
  invalidUtf8.setValue("s", plist::Value::string("\xFF"));
  EXPECT_EQ(invalidUtf8.toXml(), "");
  Document farDate;
  farDate.setValue("d", plist::Value::date(1e17));
  EXPECT_EQ(farDate.toXml(), "");
  // Characters XML 1.0 cannot carry, even as references, in a value or a key.
  for (const char* text : {"a\x01", "\x1b[2J", "\xEF\xBF\xBE", "\xEF\xBF\xBF"}) {
    Document value, key;
    value.setValue("s", plist::Value::string(text));
    key.setBoolean(text, true);
    EXPECT_EQ(value.toXml() + key.toXml(), "") << text;
  }
}

TEST(Writer, UnwritableDocumentLeavesTheFileAndStillPosts) {
  TempRoot root;
  sim::boot(testing_support::bareBoot(root));
  root.put(settings::kSettingsPath, "old bytes");
  const host::PreferenceValue invalid{host::PreferenceValue::Type::kString, 0, "\xFF"};
  EXPECT_EQ(settings::changeSettingsAndPost({{"s", &invalid}}), host::PreferencesWrite::kNotWritable);
  EXPECT_EQ(root.get(settings::kSettingsPath), "old bytes");
  EXPECT_EQ(sim::postCount(settings::kChangedNotification), 1);
  sim::shutdown();
}

// A dictionary with a value of every type python3's plistlib writes, in
// every encoding our reader takes; toggling "enabled" keeps the rest.
class ToggleEveryEncoding : public ::testing::TestWithParam<const char*> {};

TEST_P(ToggleEveryEncoding, PlistlibReadsEveryOtherKeyUnchanged) {
  TempRoot root;
  const std::string in = root.path() + "/in", out = root.path() + "/out.plist";
  const std::string values = R"PY(
d = {'enabled': True, 'Increment': 0.1, 'big': 2**64 - 1, 'neg': -2**63, 'text': 'caf\u00e9 <&>\t',
     'data': bytes(range(256)), 'date': datetime.datetime(1, 1, 1, 0, 0, 0), 'later': datetime.datetime(9999, 12, 31),
     'list': [1, 'two', 3.5, [False], {'k': b'\x00'}], 'empty': {}, 'LVDisable-com.example.app': 1}
x = plistlib.dumps(d).decode()
)PY";
  const std::string writers[] = {
      "open(p, 'wb').write(plistlib.dumps(d, fmt=plistlib.FMT_BINARY))",
      "open(p, 'wb').write(b'\\xef\\xbb\\xbf' + x.encode())",
      "open(p, 'wb').write(x.replace('UTF-8', 'UTF-16').encode('utf-16'))",
      "open(p, 'wb').write(b'\\xfe\\xff' + x.encode('utf-16-be'))",
  };
  const std::string variant = GetParam();
  int which = variant == "binary" ? 0 : variant == "bom" ? 1 : variant == "utf16le" ? 2 : 3;
  testing_support::python(values + "p = '" + in + "'\n" + writers[which]);
  Document doc = Document::parse(root.get("/in"));
  ASSERT_EQ(doc.size(), 11u);
  doc.setBoolean(settings::kEnabledKey, false);
  root.put("/out.plist", doc.toXml());
  EXPECT_EQ(testing_support::plistlibDump(out),
            testing_support::python(values + "d['enabled'] = False\nprint(canon(d), end='')"));
}

INSTANTIATE_TEST_SUITE_P(Encodings, ToggleEveryEncoding, ::testing::Values("binary", "bom", "utf16le", "utf16be"));

TEST(ToggleOldStyle, StringsStayStringsAndPlistlibReadsThem) {
  TempRoot root;
  Document doc = Document::parse("{ enabled = 1; Increment = 0.2; list = (a, <0f>); \"k k\" = \"v\\n\"; }");
  doc.setBoolean(settings::kEnabledKey, false);
  root.put("/out.plist", doc.toXml());
  EXPECT_EQ(testing_support::plistlibDump(root.path() + "/out.plist"),
            "dict:{'Increment'=string:'0.2','enabled'=bool:False,'k k'=string:'v\\n','list'=array:[string:'a',"
            "data:0f]}");
}

}  // namespace
