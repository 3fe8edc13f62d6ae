// The simulated platform's preferences: what a read hands over and why it
// gives nothing, and the writers' read-modify-write on files it cannot
// simply edit: files that do not read as a dictionary are kept aside, files
// that cannot be read are left alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "host/releases.h"
#include "settings/keys.h"
#include "settings/store.h"
#include "sim/device.h"
#include "sim/plist/document.h"
#include "sim/plist/limits.h"
#include "sim/preferences.h"
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

TEST(Preferences, ReadStatusSaysWhyAFileGivesNothing) {
  using host::PreferencesStatus;
  TempRoot root;
  sim::boot(testing_support::bareBoot(root));
  const auto read = [] { return sim::readPreferencesFile(settings::kSettingsPath); };
  EXPECT_EQ(read().status, PreferencesStatus::kAbsent);

  plist::Document one;
  one.setBoolean("enabled", false);
  root.put(settings::kSettingsPath, one.toXml());
  sim::failNextRead(settings::kSettingsPath);
  EXPECT_EQ(read().status, PreferencesStatus::kFailed);
  EXPECT_EQ(read().document.size(), 1u) << "a fault applies to one read only";

  root.put(settings::kSettingsPath, "<plist><array/></plist>");
  EXPECT_EQ(read().status, PreferencesStatus::kUnreadable);
  EXPECT_EQ(read().why, "root is an array, not a dictionary");

  // Whatever is at the path and cannot be read is named, never taken for no
  // file.
  std::filesystem::remove(root.host(settings::kSettingsPath));
  std::filesystem::create_directories(root.host(settings::kSettingsPath));
  EXPECT_EQ(read().status, PreferencesStatus::kFailed);
  EXPECT_EQ(read().why, "it is a folder, not a file");
  std::filesystem::remove(root.host(settings::kSettingsPath));
  ASSERT_EQ(mkfifo(root.host(settings::kSettingsPath).c_str(), 0644), 0);
  EXPECT_EQ(read().why, "it is not a regular file");
  std::filesystem::remove(root.host(settings::kSettingsPath));
  root.put(settings::kSettingsPath, std::string(plist::kMaxFileBytes + 1, ' '));
  EXPECT_EQ(read().status, PreferencesStatus::kUnreadable);
  EXPECT_EQ(read().why, "file is larger than the limit of 16 MiB");
  sim::shutdown();
}

TEST(Preferences, HostReadsHandOverTheValuesOfTheKeysAsked) {
  using Type = host::PreferenceValue::Type;
  TempRoot root;
  // The file itself (not the daemon, which reads a file it cannot read as
  // an empty domain), so that a failed read shows.
  sim::BootOptions options = testing_support::bareBoot(root);
  options.coreFoundationVersion = host::coreFoundationOf("7.0");
  sim::boot(options);
  const std::string_view keys[] = {settings::kEnabledKey, settings::kIncrementKey, "name", "list", "absent"};
  EXPECT_EQ(host::readPreferences(settings::kSettingsPath, keys).status, host::PreferencesStatus::kAbsent);
  testing_support::python("plistlib.dump({'enabled': False, 'Increment': 0.1, 'name': 'x', 'list': [1]}, open('" +
                          root.host(settings::kSettingsPath) + "', 'wb'), fmt=plistlib.FMT_BINARY)");
  const host::PreferencesRead read = host::readPreferences(settings::kSettingsPath, keys);
  ASSERT_EQ(read.status, host::PreferencesStatus::kRead);
  ASSERT_EQ(read.values.size(), 5u);
  EXPECT_EQ(read.values[0]->type, Type::kBoolean);
  EXPECT_EQ(read.values[0]->number, 0);
  EXPECT_EQ(read.values[1]->type, Type::kReal);
  EXPECT_EQ(read.values[1]->number, 0.1);
  EXPECT_EQ(read.values[2]->text, "x");
  EXPECT_EQ(read.values[3]->type, Type::kOther);
  EXPECT_FALSE(read.values[4]);
  sim::failNextRead(settings::kSettingsPath);
  const host::PreferencesRead failed = host::readPreferences(settings::kSettingsPath, keys);
  EXPECT_EQ(failed.status, host::PreferencesStatus::kFailed);
  EXPECT_FALSE(failed.values[0]);
  sim::shutdown();
}

}  // namespace
