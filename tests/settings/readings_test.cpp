// How stored values read as booleans and as the single-precision step.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tests/support/readings.h"
#include "sim/plist/document.h"
#include "settings/readings.h"

namespace {

using plist::Document;

Document xml(const std::string& body) {
  return Document::parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body +
                         "</dict></plist>");
}

TEST(BooleanReading, BooleansAsTheyAreNumbersTrueWhenNonZero) {
  Document d = xml(
      "<key>t</key><true/><key>f</key><false/><key>zero</key><integer>0</integer>"
      "<key>two</key><integer>2</integer><key>minus</key><integer>-1</integer>"
      "<key>rzero</key><real>0.0</real><key>half</key><real>0.5</real>"
      "<key>s</key><string>YES</string><key>a</key><array/>");
  EXPECT_EQ(testing_support::booleanIn(d, "t"), true);
  EXPECT_EQ(testing_support::booleanIn(d, "f"), false);
  EXPECT_EQ(testing_support::booleanIn(d, "zero"), false);
  EXPECT_EQ(testing_support::booleanIn(d, "two"), true);
  EXPECT_EQ(testing_support::booleanIn(d, "minus"), true);
  EXPECT_EQ(testing_support::booleanIn(d, "rzero"), false);
  EXPECT_EQ(testing_support::booleanIn(d, "half"), true);
  EXPECT_EQ(testing_support::booleanIn(d, "a"), std::nullopt);
  EXPECT_EQ(testing_support::booleanIn(d, "absent"), std::nullopt);
}

TEST(SingleReading, NarrowsToTheNearestSingle) {
  Document d = xml(
      "<key>tenth</key><real>0.1</real><key>int</key><integer>3</integer>"
      "<key>neg</key><integer>-2</integer><key>zero</key><real>0</real>"
      "<key>big</key><real>1e300</real><key>max</key><real>3.4028234663852886e38</real>");
  EXPECT_EQ(testing_support::singleIn(d, "tenth"), 0.1f);
  EXPECT_EQ(testing_support::singleIn(d, "int"), 3.0f);
  EXPECT_EQ(testing_support::singleIn(d, "neg"), -2.0f);
  EXPECT_EQ(testing_support::singleIn(d, "zero"), 0.0f);
  EXPECT_EQ(testing_support::singleIn(d, "max"), std::numeric_limits<float>::max());
  // Narrowing a value beyond float's range is undefined: it reads as absent.
  EXPECT_EQ(testing_support::singleIn(d, "big"), std::nullopt);
}

TEST(SingleReading, DefaultStepBitPattern) {
  float step = 0.05f;
  uint32_t bits;
  std::memcpy(&bits, &step, sizeof bits);
  EXPECT_EQ(bits, 0x3D4CCCCDu);
}

}  // namespace

namespace {

using plist::Document;

TEST(StringReading, BooleansAsTheDeviceReadsText) {
  for (const char* text : {"YES", "yes", "true", "T", "1", "  +007", "-1", "\t9 lives", "0001", "y"})
    EXPECT_TRUE(settings::stringBoolean(text)) << text;
  for (const char* text : {"", "NO", "false", "0", "000", " +0", "-", "abc", "0.5", " ", "F", "nope"})
    EXPECT_FALSE(settings::stringBoolean(text)) << text;
}

TEST(StringReading, NumbersAreTheLeadingDecimalNumber) {
  EXPECT_EQ(settings::leadingNumber("0.25"), 0.25);
  EXPECT_EQ(settings::leadingNumber("  -1.5e2xyz"), -150.0);
  EXPECT_EQ(settings::leadingNumber("+.5"), 0.5);
  EXPECT_EQ(settings::leadingNumber("5."), 5.0);
  EXPECT_EQ(settings::leadingNumber("3e"), 3.0) << "an exponent without digits is not part of it";
  EXPECT_EQ(settings::leadingNumber("abc"), 0.0);
  EXPECT_EQ(settings::leadingNumber(""), 0.0);
  EXPECT_EQ(settings::leadingNumber("0x10"), 0.0);
  EXPECT_EQ(settings::leadingNumber("1e-999"), 0.0);
  EXPECT_TRUE(std::isinf(settings::leadingNumber("1e999")));
}

TEST(StringReading, AStoredStringReadsInBothContexts) {
  Document d = xml(
      "<key>yes</key><string>YES</string><key>step</key><string>0.1</string>"
      "<key>text</key><string>abc</string><key>huge</key><string>1e39</string>");
  EXPECT_EQ(testing_support::booleanIn(d, "yes"), true);
  EXPECT_EQ(testing_support::singleIn(d, "yes"), 0.0f);
  EXPECT_EQ(testing_support::singleIn(d, "step"), 0.1f);
  EXPECT_EQ(testing_support::booleanIn(d, "text"), false);
  EXPECT_EQ(testing_support::singleIn(d, "text"), 0.0f) << "text without a number is 0, as on the device";
  EXPECT_EQ(testing_support::singleIn(d, "huge"), std::nullopt) << "beyond single precision";
}

TEST(OtherTypes, DatesDataArraysDictionariesReadAsAbsent) {
  Document d = xml(
      "<key>date</key><date>2020-01-01T00:00:00Z</date><key>data</key><data>AQ==</data>"
      "<key>array</key><array><true/></array><key>dict</key><dict><key>k</key><true/></dict>");
  for (const char* key : {"date", "data", "array", "dict"}) {
    EXPECT_TRUE(d.contains(key));
    EXPECT_EQ(testing_support::booleanIn(d, key), std::nullopt) << key;
    EXPECT_EQ(testing_support::singleIn(d, key), std::nullopt) << key;
  }
}

TEST(SingleReading, IntegersBeyondSignedRangeKeepTheirValue) {
  Document d = xml("<key>u</key><integer>18446744073709551615</integer><key>s</key><integer>-1</integer>");
  EXPECT_EQ(testing_support::singleIn(d, "u"), 18446744073709551615.0f);
  EXPECT_EQ(testing_support::singleIn(d, "s"), -1.0f);
}

}  // namespace
