// Device paths stay inside the device root: the simulator runs as root on
// roots from anywhere, so a link planted in one must not lead its reads and
// writes to the rest of the machine.
#include "sim/in_root.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "host/host.h"
#include "settings/keys.h"
#include "sim/device.h"
#include "sim/device_files.h"
#include "tests/support/temp_root.h"

namespace fs = std::filesystem;

namespace {

using testing_support::TempRoot;

const std::string kPreferences = "/var/mobile/Library/Preferences";

void link(const std::string& target, const std::string& at) {
  fs::create_directories(fs::path(at).parent_path());
  ASSERT_EQ(symlink(target.c_str(), at.c_str()), 0) << at;
}

class InRoot : public ::testing::Test {
 protected:
  void TearDown() override { sim::shutdown(); }
  void boot() { sim::boot(testing_support::bareBoot(root_)); }
  TempRoot root_, outside_;
};

TEST_F(InRoot, AWriteThroughAFolderLinkedOutsideStaysOut) {
  link(outside_.path(), root_.host(kPreferences));
  boot();
  EXPECT_FALSE(sim::replaceDeviceFile(settings::kSettingsPath, "<plist/>", false));
  EXPECT_TRUE(fs::is_empty(outside_.path()));
}

TEST_F(InRoot, AFolderLinkedWithinTheRootIsFollowedThere) {
  fs::create_directories(root_.host("/private/var"));
  link("/private/var", root_.host("/var"));  // as a device has it
  boot();
  ASSERT_TRUE(sim::replaceDeviceFile(settings::kSettingsPath, "new", false));
  EXPECT_EQ(root_.get("/private" + std::string(settings::kSettingsPath)), "new");
  std::string bytes;
  ASSERT_TRUE(sim::readDeviceFile(settings::kSettingsPath, bytes));
  EXPECT_EQ(bytes, "new");
}

TEST_F(InRoot, ALinkAtTheSettingsFileIsReplacedNotFollowed) {
  boot();
  outside_.put("/victim.plist", "precious");
  link(outside_.host("/victim.plist"), root_.host(settings::kSettingsPath));
  ASSERT_TRUE(sim::replaceDeviceFile(settings::kSettingsPath, "new", false));
  EXPECT_EQ(outside_.get("/victim.plist"), "precious");
  EXPECT_FALSE(fs::is_symlink(root_.host(settings::kSettingsPath)));
  EXPECT_EQ(root_.get(settings::kSettingsPath), "new");
}

// A link's target is a device path: the root stands for "/".
TEST_F(InRoot, ReadsResolveLinksAsTheDeviceWould) {
  boot();
  outside_.put("/secret", "host file");
  link(outside_.host("/secret"), root_.host(settings::kSettingsPath));
  std::string bytes;
  EXPECT_FALSE(sim::readDeviceFile(settings::kSettingsPath, bytes)) << bytes;
  EXPECT_TRUE(bytes.empty());
  root_.put("/var/mobile/other.plist", "device file");
  fs::remove(root_.host(settings::kSettingsPath));
  link("/var/mobile/other.plist", root_.host(settings::kSettingsPath));
  ASSERT_TRUE(sim::readDeviceFile(settings::kSettingsPath, bytes));
  EXPECT_EQ(bytes, "device file");
  fs::remove(root_.host(settings::kSettingsPath));
  link("../../../../../../../../" + outside_.host("/secret"), root_.host(settings::kSettingsPath));
  EXPECT_FALSE(sim::readDeviceFile(settings::kSettingsPath, bytes)) << "\"..\" stops at the root";
}

TEST_F(InRoot, PutMakesFoldersOnlyInsideTheRoot) {
  link(outside_.path(), root_.host("/escape"));
  boot();
  EXPECT_FALSE(sim::replaceDeviceFile("/escape/f", "x", true));
  EXPECT_FALSE(sim::replaceDeviceFile("/escape/deeper/f", "x", true));
  EXPECT_TRUE(fs::is_empty(outside_.path()));
  ASSERT_TRUE(sim::replaceDeviceFile("/new/folders/f", "x", true));
  EXPECT_EQ(root_.get("/new/folders/f"), "x");
  EXPECT_FALSE(sim::replaceDeviceFile("/other/f", "x", false)) << "no folders without being asked";
}

TEST_F(InRoot, RemovingThroughALinkedFolderLeavesTheOutsideAlone) {
  outside_.put("/com.vantorel.lumivo.plist", "precious");
  link(outside_.path(), root_.host(kPreferences));
  boot();
  bool existed = true;
  EXPECT_TRUE(sim::removeDeviceFile(settings::kSettingsPath, &existed));
  EXPECT_FALSE(existed);
  EXPECT_EQ(outside_.get("/com.vantorel.lumivo.plist"), "precious");
}

TEST_F(InRoot, BootMakesNoFolderOutsideTheRoot) {
  link(outside_.path(), root_.host("/var"));
  boot();
  EXPECT_TRUE(fs::is_empty(outside_.path()));
  EXPECT_TRUE(fs::is_directory(root_.host("/Library/Switches")));
}

// Where the kernel lacks openat2 every link on the way is refused.
TEST(InRootWithoutLinks, RefusesEveryLinkAndKeepsDotDotInside) {
  TempRoot root, outside;
  outside.put("/f", "outside");
  root.put("/real/f", "inside");
  link(outside.path(), root.host("/out"));
  link("real", root.host("/in"));
  sim::Descriptor rootFd = sim::openRootFolder(root.path());
  ASSERT_TRUE(rootFd.valid());
  EXPECT_TRUE(sim::openInRootWithoutLinks(rootFd.get(), "/real/f", O_RDONLY).valid());
  EXPECT_TRUE(sim::openInRootWithoutLinks(rootFd.get(), "/../../real/./f", O_RDONLY).valid());
  for (const char* path : {"/out/f", "/in/f", "/in"}) {
    errno = 0;
    EXPECT_FALSE(sim::openInRootWithoutLinks(rootFd.get(), path, O_RDONLY).valid()) << path;
    EXPECT_TRUE(errno == ELOOP || errno == ENOTDIR) << path << " " << errno;
  }
}

TEST(SplitDevicePath, NeedsALastName) {
  std::string folder, name;
  ASSERT_TRUE(sim::splitDevicePath("/a/b.plist", &folder, &name));
  EXPECT_EQ(folder, "/a/");
  EXPECT_EQ(name, "b.plist");
  for (const char* path : {"/", "", "/a/", "/a/..", "/a/."}) EXPECT_FALSE(sim::splitDevicePath(path, &folder, &name));
}

}  // namespace
