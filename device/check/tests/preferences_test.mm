// Preferences files on hosts with the preferences daemon (iOS 8 and later):
// which paths go through the daemon, and that reads and replacements there
// keep the meaning of the file operations.
#import <Foundation/Foundation.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "device/check/standins/platform.h"
#include "device/check/tests/pool.h"
#include "device/src/adapter/preferences_domain.h"
#include "host/host.h"
#include "settings/document.h"

namespace {

using adapter::preferencesDomainFor;

constexpr double kIOS7 = 847.24;
constexpr double kIOS8 = 1140.10;

TEST(PreferencesDomainTest, PreferencesFilesOfNewerHostsNameTheirDomain) {
  EXPECT_EQ(preferencesDomainFor("/var/mobile/Library/Preferences/com.vantorel.lumivo.plist", kIOS8),
            "com.vantorel.lumivo");
  EXPECT_EQ(preferencesDomainFor("/var/mobile/Library/Preferences/net.dorwick.preferenceorganizer2.plist", 1240.10),
            "net.dorwick.preferenceorganizer2");
}

TEST(PreferencesDomainTest, OlderHostsAndOtherPathsStayOnTheFile) {
  EXPECT_EQ(preferencesDomainFor("/var/mobile/Library/Preferences/com.vantorel.lumivo.plist", kIOS7), std::nullopt);
  EXPECT_EQ(preferencesDomainFor("/var/mobile/Library/Preferences/com.vantorel.lumivo.plist", 1140.09), std::nullopt);
  for (const char* path : {"/var/mobile/Library/Preferences/.plist", "/var/mobile/Library/Preferences/a/b.plist",
                           "/var/mobile/Library/Preferences/com.example.txt", "/Library/Preferences/com.example.plist",
                           "/var/mobile/Library/Preferences/", "relative/com.example.plist", ""})
    EXPECT_EQ(preferencesDomainFor(path, kIOS8), std::nullopt) << path;
}

constexpr char kPath[] = "/var/mobile/Library/Preferences/com.example.tweak.plist";
constexpr char kDomain[] = "com.example.tweak";

class DaemonTest : public DeviceRootTest {
 protected:
  DaemonTest() : DeviceRootTest(kIOS8) {}
  void SetUp() override {
    DeviceRootTest::SetUp();
    standin::forgetPreferences();
  }
  // The file as the daemon last wrote it, older than what it holds.
  void writeStaleFile(const settings::Document& document) {
    std::ofstream(root_ + kPath) << document.toXml();
  }
  static settings::Document read() {
    std::string bytes;
    host::readFile(kPath, bytes);
    return settings::Document::parse(bytes);
  }
};

TEST_F(DaemonTest, ReadSeesWhatTheSettingsApplicationSetNotTheStaleFile) {
  settings::Document stale;
  stale.setBoolean("enabled", true);
  writeStaleFile(stale);
  standin::daemonSetValue(kDomain, "enabled", [NSNumber numberWithBool:NO]);
  standin::daemonSetValue(kDomain, "Increment", [NSNumber numberWithDouble:0.1]);
  standin::daemonSetValue(kDomain, "LVDisable-com.example.mail", [NSNumber numberWithInt:2]);

  settings::Document document = read();
  EXPECT_EQ(document.boolean("enabled"), false);
  EXPECT_EQ(document.single("Increment"), 0.1f);
  EXPECT_EQ(document.boolean("LVDisable-com.example.mail"), true);
  EXPECT_EQ(document.size(), 3u);
}

TEST_F(DaemonTest, ReadTakesInChangesMadeSinceTheLastRead) {
  standin::daemonSetValue(kDomain, "forceMode", [NSNumber numberWithBool:NO]);
  EXPECT_EQ(read().boolean("forceMode"), false);
  standin::daemonSetValue(kDomain, "forceMode", [NSNumber numberWithBool:YES]);
  EXPECT_EQ(read().boolean("forceMode"), true);
}

TEST_F(DaemonTest, EmptyDomainReadsAsAbsent) {
  std::string bytes = "left over";
  EXPECT_FALSE(host::readFile(kPath, bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST_F(DaemonTest, ReplacementReachesTheDaemonKeysAndRemovalsBoth) {
  standin::daemonSetValue(kDomain, "enabled", [NSNumber numberWithBool:YES]);
  standin::daemonSetValue(kDomain, "disablekeyboard", [NSNumber numberWithBool:YES]);
  settings::Document document;
  document.setBoolean("enabled", false);
  document.setBoolean("forceMode", true);
  ASSERT_TRUE(host::replaceFile(kPath, document.toXml()));

  NSDictionary* values = standin::daemonValues(kDomain);
  EXPECT_EQ([values count], 2u);
  EXPECT_FALSE([[values objectForKey:@"enabled"] boolValue]);
  EXPECT_TRUE([[values objectForKey:@"forceMode"] boolValue]);
  EXPECT_EQ([values objectForKey:@"disablekeyboard"], nil);
  EXPECT_FALSE(std::filesystem::exists(root_ + kPath)) << "the daemon writes the file, not the adapter";
}

TEST_F(DaemonTest, ReplacementThatIsNotADictionaryChangesNothing) {
  standin::daemonSetValue(kDomain, "enabled", [NSNumber numberWithBool:YES]);
  EXPECT_FALSE(host::replaceFile(kPath, "not a property list"));
  EXPECT_FALSE(host::replaceFile(kPath, "<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>"));
  EXPECT_EQ([standin::daemonValues(kDomain) count], 1u);
}

TEST_F(DaemonTest, ReplacedValuesReadBackWithTheirTypes) {
  settings::Document document;
  document.setBoolean("enabled", false);
  document.setValue("Increment", settings::Value::real(0.25));
  document.setValue("note", settings::Value::string("kept"));
  ASSERT_TRUE(host::replaceFile(kPath, document.toXml()));
  settings::Document back = read();
  EXPECT_EQ(back.boolean("enabled"), false);
  EXPECT_EQ(back.single("Increment"), 0.25f);
  ASSERT_TRUE(back.value("note"));
  EXPECT_EQ(back.value("note").type(), settings::Type::String);
  EXPECT_EQ(back.value("note").text(), "kept");
}

}  // namespace
