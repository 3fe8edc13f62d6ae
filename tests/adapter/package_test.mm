// The device package's own files agree with the deliverables and the
// settings contract: a mismatch here is a pane, action or switch that looks
// fine but does nothing on the device.
#import <Foundation/Foundation.h>

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/adapter/pool.h"
#include "adapter/preferences_domain.h"
#include "extension/brightness_listener.h"
#include "settings/keys.h"
#include "switch/menu.h"

namespace {

std::string source(const std::string& relative) { return std::string(LUMIVO_SOURCE_DIR) + "/" + relative; }

NSDictionary* plist(const std::string& relative) {
  return [NSDictionary dictionaryWithContentsOfFile:[NSString stringWithUTF8String:source(relative).c_str()]];
}

NSString* ns(const char* string) { return [NSString stringWithUTF8String:string]; }

using PackageTest = PooledTest;

TEST_F(PackageTest, BundleDescriptionNamesTheSwitchClassAndExecutable) {
  NSDictionary* info = plist("switch/Info.plist");
  EXPECT_TRUE([[info objectForKey:@"NSPrincipalClass"] isEqualToString:@"LumivoSwitch"]);
  EXPECT_TRUE([[info objectForKey:@"CFBundleExecutable"] isEqualToString:@"Lumivo"]);
}

TEST_F(PackageTest, EachActionHasATitleDescriptionAndGroup) {
  std::set<std::string> titles;
  for (const char* name : {kUpListenerName, kDownListenerName}) {
    NSDictionary* info = plist(std::string("package/layout/Library/Activator/Listeners/") + name + "/Info.plist");
    ASSERT_NE(info, nil) << name;
    for (const char* key : {"title", "description", "group"}) {
      id value = [info objectForKey:ns(key)];
      EXPECT_TRUE([value isKindOfClass:[NSString class]] && [value length] > 0) << name << " " << key;
    }
    titles.insert([[info objectForKey:@"title"] UTF8String]);
  }
  EXPECT_EQ(titles.size(), 2u);
}

constexpr char kPane[] = "package/layout/Library/PreferenceLoader/Preferences/Lumivo2.plist";

NSArray* paneItems() { return [plist(kPane) objectForKey:@"items"]; }

TEST_F(PackageTest, PaneWritesTheSettingsDomainAndAnnouncesEveryChange) {
  const auto domain = adapter::preferencesDomainFor(settings::kSettingsPath, host::kPreferencesDaemonVersion);
  ASSERT_TRUE(domain);
  NSArray* items = paneItems();
  ASSERT_GT([items count], 0u);
  std::map<std::string, id> defaults;
  for (NSUInteger i = 0; i < [items count]; ++i) {
    NSDictionary* item = [items objectAtIndex:i];
    NSString* key = [item objectForKey:@"key"];
    if (!key) continue;
    EXPECT_TRUE([[item objectForKey:@"defaults"] isEqualToString:ns(domain->c_str())]) << [key UTF8String];
    EXPECT_TRUE([[item objectForKey:@"PostNotification"] isEqualToString:ns(settings::kChangedNotification)])
        << [key UTF8String];
    defaults[std::string([key UTF8String])] = [item objectForKey:@"default"];
  }
  ASSERT_EQ(defaults.size(), 5u);
  EXPECT_EQ([defaults[settings::kEnabledKey] boolValue], settings::kEnabledDefault);
  EXPECT_EQ([defaults[settings::kForceModeKey] boolValue], settings::kForceModeDefault);
  EXPECT_EQ([defaults[settings::kDisableKeyboardKey] boolValue], settings::kDisableKeyboardDefault);
  EXPECT_EQ([defaults[settings::kDisableSpringBoardKey] boolValue], settings::kDisableSpringBoardDefault);
  EXPECT_EQ([defaults[settings::kIncrementKey] floatValue], settings::kIncrementDefault);
}

TEST_F(PackageTest, ApplicationListWritesThePerApplicationKeys) {
  NSDictionary* list = nil;
  NSArray* items = paneItems();
  for (NSUInteger i = 0; i < [items count]; ++i)
    if ([[items objectAtIndex:i] objectForKey:@"ALSettingsKeyPrefix"]) list = [items objectAtIndex:i];
  ASSERT_NE(list, nil);
  EXPECT_TRUE([[list objectForKey:@"ALSettingsKeyPrefix"] isEqualToString:ns(settings::kAppDisablePrefix)]);
  EXPECT_TRUE([[list objectForKey:@"ALSettingsPath"] isEqualToString:ns(settings::kSettingsPath)]);
  EXPECT_TRUE([[list objectForKey:@"ALChangeNotification"] isEqualToString:ns(settings::kChangedNotification)]);
  EXPECT_EQ([[list objectForKey:@"ALSettingsDefaultValue"] boolValue], settings::kAppDisableDefault);
}

TEST_F(PackageTest, PaneOpensActivatorForEachActionTheExtensionRegisters) {
  std::set<std::string> linked;
  NSArray* items = paneItems();
  for (NSUInteger i = 0; i < [items count]; ++i) {
    NSDictionary* item = [items objectAtIndex:i];
    if ([[item objectForKey:@"bundle"] isEqual:@"LibActivator"] && [[item objectForKey:@"isController"] boolValue])
      linked.insert([[item objectForKey:@"activatorListener"] UTF8String]);
  }
  EXPECT_EQ(linked, (std::set<std::string>{kUpListenerName, kDownListenerName}));
}

TEST_F(PackageTest, SwitchLinksLeadToThePane) {
  NSDictionary* entry = [plist(kPane) objectForKey:@"entry"];
  const std::string pane = [[entry objectForKey:@"id"] UTF8String];
  EXPECT_EQ(std::string(lumivo::kPaneLink), "prefs:root=" + pane);
  EXPECT_EQ(std::string(lumivo::kTweaksPaneLink), "prefs:root=Tweaks&path=" + pane);
}

}  // namespace
