#include "tools/pref_value.h"

#include <gtest/gtest.h>

#include "sim/plist/document.h"

namespace tools {
namespace {

PrefValue value(const std::string& token, bool quoted = false) {
  auto v = parsePrefValue(token, quoted);
  EXPECT_TRUE(v) << token;
  return v.value_or(PrefValue{});
}

// The value after a trip through the XML the pane writes.
plist::Node roundTrip(plist::Document& holder, const PrefValue& v) {
  plist::Document document;
  document.setValue("k", toPlist(v));
  holder = plist::Document::parse(document.toXml());
  return holder.value("k");
}

TEST(PrefValue, ReadsEachKindFromItsSpelling) {
  EXPECT_EQ(value("true").kind, PrefValue::Kind::Boolean);
  EXPECT_EQ(value("-42").integer, -42);
  EXPECT_EQ(value("0.5").kind, PrefValue::Kind::Real);
  EXPECT_EQ(value("2.").kind, PrefValue::Kind::Real);
  EXPECT_EQ(value("1e-3").kind, PrefValue::Kind::Real);
  EXPECT_EQ(value("12", true).kind, PrefValue::Kind::String);
  EXPECT_EQ(value("", true).string, "");
  for (const char* bad : {"True", "yes", "1.2.3", "nan", "0x10", "--1", "abc"})
    EXPECT_FALSE(parsePrefValue(bad, false)) << bad;
}

TEST(PrefValue, SurvivesTheSettingsFileWithTypeAndValue) {
  plist::Document holder;
  for (const char* token : {"true", "false", "0", "-3", "9223372036854775807", "0.1", "-1e-7", "1.0"}) {
    const PrefValue v = value(token);
    EXPECT_TRUE(sameValue(v, roundTrip(holder, v))) << token;
  }
  const PrefValue text = value("a \"quoted\" text", true);
  EXPECT_TRUE(sameValue(text, roundTrip(holder, text)));
}

TEST(PrefValue, NeverEqualsAValueOfAnotherType) {
  plist::Document holder;
  const plist::Node one = roundTrip(holder, value("1"));
  EXPECT_FALSE(sameValue(value("true"), one));
  EXPECT_FALSE(sameValue(value("1.0"), one));
  EXPECT_FALSE(sameValue(value("1", true), one));
  EXPECT_FALSE(sameValue(value("2"), one));
  EXPECT_FALSE(sameValue(value("1"), plist::Node()));
  plist::Document realHolder;
  const plist::Node tenth = roundTrip(realHolder, value("0.1"));
  EXPECT_FALSE(sameValue(value("0.10000001"), tenth));
}

TEST(PrefValue, DescribesStoredValuesWithTheirType) {
  EXPECT_EQ(describePlist(plist::Node()), "absent");
  plist::Document document;
  document.setValue("real", plist::Value::real(2));
  document.setValue("string", plist::Value::string("say \"x\""));
  document.setValue("data", plist::Value::data("abcd"));
  document.setValue("negative", plist::Value::integer(std::int64_t{-7}));
  document.setValue("unsigned", plist::Value::integer(plist::Integer{~0ull, true}));
  EXPECT_EQ(describePlist(document.value("real")), "2.0 (real)");
  EXPECT_EQ(describePlist(document.value("string")), R"("say \"x\"" (string))");
  EXPECT_EQ(describePlist(document.value("data")), "<data, 4 bytes>");
  EXPECT_EQ(describePlist(document.value("negative")), "-7 (integer)");
  EXPECT_EQ(describePlist(document.value("unsigned")), "18446744073709551615 (integer)");
  EXPECT_EQ(describe(value("0.25")), "0.25");
}

}  // namespace
}  // namespace tools
