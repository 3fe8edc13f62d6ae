// How stored values read as booleans and as the single-precision step.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "settings/document.h"

namespace {

using settings::Document;

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
  EXPECT_EQ(d.boolean("t"), true);
  EXPECT_EQ(d.boolean("f"), false);
  EXPECT_EQ(d.boolean("zero"), false);
  EXPECT_EQ(d.boolean("two"), true);
  EXPECT_EQ(d.boolean("minus"), true);
  EXPECT_EQ(d.boolean("rzero"), false);
  EXPECT_EQ(d.boolean("half"), true);
  EXPECT_EQ(d.boolean("a"), std::nullopt);
  EXPECT_EQ(d.boolean("absent"), std::nullopt);
}

TEST(SingleReading, NarrowsToTheNearestSingle) {
  Document d = xml(
      "<key>tenth</key><real>0.1</real><key>int</key><integer>3</integer>"
      "<key>neg</key><integer>-2</integer><key>zero</key><real>0</real>"
      "<key>big</key><real>1e300</real><key>max</key><real>3.4028234663852886e38</real>");
  EXPECT_EQ(d.single("tenth"), 0.1f);
  EXPECT_EQ(d.single("int"), 3.0f);
  EXPECT_EQ(d.single("neg"), -2.0f);
  EXPECT_EQ(d.single("zero"), 0.0f);
  EXPECT_EQ(d.single("max"), std::numeric_limits<float>::max());
  // Narrowing a value beyond float's range is undefined: it reads as absent.
  EXPECT_EQ(d.single("big"), std::nullopt);
}

TEST(SingleReading, DefaultStepBitPattern) {
  float step = 0.05f;
  uint32_t bits;
  std::memcpy(&bits, &step, sizeof bits);
  EXPECT_EQ(bits, 0x3D4CCCCDu);
}

}  // namespace
