// The writers' read-modify-write-and-post sequence and the atomic replace.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "sim/plist/atomic_file.h"
#include "settings/keys.h"
#include "settings/store.h"
#include "sim/device.h"
#include "sim/journal.h"
#include "tests/support/plistlib.h"
#include "tests/support/temp_root.h"

namespace {

using testing_support::TempRoot;

class Store : public ::testing::Test {
 protected:
  void SetUp() override { sim::boot(testing_support::bareBoot(root_)); }
  void TearDown() override { sim::shutdown(); }
  TempRoot root_;
};

TEST_F(Store, WriteKeepsOtherKeysThenPosts) {
  testing_support::python("plistlib.dump({'keep': [1, 'x'], 'enabled': True}, open('" +
                          root_.host(settings::kSettingsPath) + "', 'wb'), fmt=plistlib.FMT_BINARY)");
  const host::PreferenceValue off = settings::booleanValue(false);
  EXPECT_EQ(settings::changeSettingsAndPost({{settings::kEnabledKey, &off}}), host::PreferencesWrite::kWritten);

  EXPECT_EQ(testing_support::plistlibDump(root_.host(settings::kSettingsPath)),
            "dict:{'enabled'=bool:False,'keep'=array:[int:1,string:'x']}");
  int write = sim::journalIndexOf("CFPreferencesSetMultiple()", "com.vantorel.lumivo");
  int post = sim::journalIndexOf("notify_post()", settings::kChangedNotification);
  ASSERT_GE(write, 0);
  EXPECT_GT(post, write) << "the notification follows the write";
  EXPECT_EQ(sim::postCount(settings::kChangedNotification), 1);
}

TEST_F(Store, FailedWriteLeavesTheOldFileAndStillPosts) {
  root_.put(settings::kSettingsPath, "old bytes");
  sim::failNextWrite(settings::kSettingsPath);
  const host::PreferenceValue off = settings::booleanValue(false);
  EXPECT_EQ(settings::changeSettingsAndPost({{settings::kEnabledKey, &off}}), host::PreferencesWrite::kWriteFailed);
  EXPECT_EQ(root_.get(settings::kSettingsPath), "old bytes");
  EXPECT_EQ(sim::postCount(settings::kChangedNotification), 1);
}

}  // namespace
