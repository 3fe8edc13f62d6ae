// The writers' read-modify-write on files it cannot simply edit: files that
// do not read as a dictionary are kept aside, files that cannot be read are
// left alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "settings/keys.h"
#include "settings/store.h"
#include "sim/device.h"
#include "tests/support/plistlib.h"
#include "tests/support/temp_root.h"

namespace {

using host::PreferencesWrite;
using testing_support::TempRoot;

const std::string kKeptPath = std::string(settings::kSettingsPath) + ".unreadable";

std::string xmlPlist(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body + "</plist>\n";
}

PreferencesWrite setEnabledOff() {
  const host::PreferenceValue off = settings::booleanValue(false);
  return settings::changeSettingsAndPost({{settings::kEnabledKey, &off}});
}

class SettingsEdit : public ::testing::Test {
 protected:
  void SetUp() override { sim::boot(testing_support::bareBoot(root_)); }
  void TearDown() override { sim::shutdown(); }

  std::string settingsDump() const { return testing_support::plistlibDump(root_.host(settings::kSettingsPath)); }
  std::string kept() const { return root_.get(kKeptPath); }

  TempRoot root_;
};

// Files that exist but do not read as a dictionary, valid property lists the
// reader refuses among them.
struct Unreadable {
  const char* name;
  std::string (*bytes)();
};

class UnreadableFile : public SettingsEdit, public ::testing::WithParamInterface<Unreadable> {};

TEST_P(UnreadableFile, IsKeptAsideThenReplacedWithTheEditedDictionary) {
  const std::string bytes = GetParam().bytes();
  root_.put(settings::kSettingsPath, bytes);
  EXPECT_EQ(setEnabledOff(), PreferencesWrite::kWritten);
  EXPECT_EQ(settingsDump(), "dict:{'enabled'=bool:False}");
  EXPECT_TRUE(kept() == bytes) << "the " << bytes.size() << " bytes were not kept";
  EXPECT_EQ(sim::postCount(settings::kChangedNotification), 1);
}

std::string deepArrays() {
  std::string open, close;
  for (int i = 0; i < 128; ++i) open += "<array>", close += "</array>";
  return xmlPlist("<dict><key>deep</key>" + open + close + "</dict>");
}

std::string manyKeys() {
  std::string body = "<dict>";
  for (int i = 0; i < 140000; ++i) body += "<key>k" + std::to_string(i) + "</key><true/>";
  return xmlPlist(body + "</dict>");
}

std::string overSixteenMebibytes() {
  return xmlPlist("<dict><key>big</key><string>" + std::string((16 << 20) + 1, 'x') + "</string></dict>");
}

std::string nulInAKey() {
  return testing_support::python(
      "sys.stdout.buffer.write(plistlib.dumps({'a\\x00b': 1, 'enabled': True}, fmt=plistlib.FMT_BINARY))");
}

INSTANTIATE_TEST_SUITE_P(
    Settings, UnreadableFile,
    ::testing::Values(Unreadable{"garbage", [] { return std::string("not a property list\n"); }},
                      Unreadable{"invalid_utf8", [] { return xmlPlist("<dict><key>\xff</key><true/></dict>"); }},
                      Unreadable{"array_root", [] { return xmlPlist("<array><true/></array>"); }},
                      Unreadable{"depth_129", deepArrays}, Unreadable{"keys_140000", manyKeys},
                      Unreadable{"over_16_MiB", overSixteenMebibytes}, Unreadable{"nul_in_a_key", nulInAKey}),
    [](const ::testing::TestParamInfo<Unreadable>& info) { return std::string(info.param.name); });

TEST_F(SettingsEdit, OnlyTheLatestUnreadableFileIsKept) {
  root_.put(settings::kSettingsPath, "first");
  EXPECT_EQ(setEnabledOff(), PreferencesWrite::kWritten);
  EXPECT_EQ(setEnabledOff(), PreferencesWrite::kWritten);
  EXPECT_EQ(kept(), "first") << "a readable file is not kept";
  root_.put(settings::kSettingsPath, "second");
  EXPECT_EQ(setEnabledOff(), PreferencesWrite::kWritten);
  EXPECT_EQ(kept(), "second");
}

TEST_F(SettingsEdit, ADictionaryIsEditedInPlaceAndNothingIsKept) {
  root_.put(settings::kSettingsPath, xmlPlist("<dict><key>keep</key><integer>7</integer></dict>"));
  EXPECT_EQ(setEnabledOff(), PreferencesWrite::kWritten);
  EXPECT_EQ(settingsDump(), "dict:{'enabled'=bool:False,'keep'=int:7}");
  EXPECT_EQ(kept(), "<absent>");
}

TEST_F(SettingsEdit, AFileThatCannotBeReadIsLeftAsItIsAndTheEditStillPosts) {
  const std::string bytes = xmlPlist("<dict><key>keep</key><integer>7</integer></dict>");
  root_.put(settings::kSettingsPath, bytes);
  sim::failNextRead(settings::kSettingsPath);
  EXPECT_EQ(setEnabledOff(), PreferencesWrite::kReadFailed);
  EXPECT_EQ(root_.get(settings::kSettingsPath), bytes);
  EXPECT_EQ(kept(), "<absent>");
  EXPECT_EQ(sim::postCount(settings::kChangedNotification), 1);
}

TEST_F(SettingsEdit, SomethingOtherThanAFileAtThePathIsLeftAsItIs) {
  root_.put(settings::kSettingsPath + std::string("/inside"), "x");
  EXPECT_EQ(setEnabledOff(), PreferencesWrite::kReadFailed);
  EXPECT_EQ(root_.get(settings::kSettingsPath + std::string("/inside")), "x");
  EXPECT_EQ(sim::postCount(settings::kChangedNotification), 1);
}

TEST_F(SettingsEdit, AnUnreadableFileThatCannotBeKeptIsNotReplaced) {
  root_.put(settings::kSettingsPath, "garbage");
  root_.put(kKeptPath + "/occupied", "x");
  EXPECT_EQ(setEnabledOff(), PreferencesWrite::kNotKept);
  EXPECT_EQ(root_.get(settings::kSettingsPath), "garbage");
  EXPECT_EQ(sim::postCount(settings::kChangedNotification), 1);
}

TEST_F(SettingsEdit, ARefusedEditKeepsAnUnreadableFileWhereItIs) {
  root_.put(settings::kSettingsPath, "garbage");
  const host::PreferenceValue on = settings::booleanValue(true);
  EXPECT_EQ(settings::changeSettingsAndPost({{"\xff", &on}}), PreferencesWrite::kNotWritable);
  EXPECT_EQ(root_.get(settings::kSettingsPath), "garbage");
  EXPECT_EQ(kept(), "<absent>");
}

}  // namespace
