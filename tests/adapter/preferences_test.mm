// Which preferences files go through the preferences daemon (iOS 8 and
// later).
#include <gtest/gtest.h>

#include "adapter/preferences_domain.h"

namespace {

using adapter::preferencesDomainFor;

constexpr double kIOS7 = host::coreFoundationOf("7.1");
constexpr double kIOS8 = host::kPreferencesDaemonVersion;

TEST(PreferencesDomainTest, PreferencesFilesOfNewerHostsNameTheirDomain) {
  EXPECT_EQ(preferencesDomainFor("/var/mobile/Library/Preferences/com.vantorel.lumivo.plist", kIOS8),
            "com.vantorel.lumivo");
  EXPECT_EQ(preferencesDomainFor("/var/mobile/Library/Preferences/net.dorwick.preferenceorganizer2.plist",
                                 host::coreFoundationOf("9.0")),
            "net.dorwick.preferenceorganizer2");
}

TEST(PreferencesDomainTest, OlderHostsAndOtherPathsStayOnTheFile) {
  EXPECT_EQ(preferencesDomainFor("/var/mobile/Library/Preferences/com.vantorel.lumivo.plist", kIOS7), std::nullopt);
  EXPECT_EQ(preferencesDomainFor("/var/mobile/Library/Preferences/com.vantorel.lumivo.plist", host::kPreferencesDaemonVersion - 0.01), std::nullopt);
  for (const char* path : {"/var/mobile/Library/Preferences/.plist", "/var/mobile/Library/Preferences/a/b.plist",
                           "/var/mobile/Library/Preferences/com.example.txt", "/Library/Preferences/com.example.plist",
                           "/var/mobile/Library/Preferences/", "relative/com.example.plist", ""})
    EXPECT_EQ(preferencesDomainFor(path, kIOS8), std::nullopt) << path;
}

}  // namespace
