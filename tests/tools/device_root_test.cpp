#include "tools/device_root.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/temp_root.h"

namespace fs = std::filesystem;

namespace tools {
namespace {

const char kExtension[] = "/Library/MobileSubstrate/DynamicLibraries/Lumivo2.dylib";

std::string prepareError(const std::string& root) {
  std::string error;
  EXPECT_FALSE(DeviceRoot::prepare(root, &error)) << root;
  return error;
}

TEST(TemplateCandidates, InstalledPrefixFirstThenBuildTree) {
  auto candidates = templateCandidates("/opt/lumivo/bin/lumivo-sim");
  ASSERT_EQ(candidates.size(), 3u);
  EXPECT_EQ(candidates[0], "/opt/lumivo/share/lumivo/device-root");
  EXPECT_EQ(candidates[1], "/opt/lumivo/device-root");
  EXPECT_EQ(candidates[2], LUMIVO_DEVICE_TEMPLATE);
  EXPECT_EQ(templateCandidates("").size(), 1u);
}

TEST(DeviceRoot, AMissingRootIsCreatedAndFilledAndKept) {
  testing_support::TempRoot parent;
  const std::string root = parent.path() + "/new/device";
  {
    std::string error;
    auto prepared = DeviceRoot::prepare(root, &error);
    ASSERT_TRUE(prepared) << error;
    EXPECT_FALSE(prepared->temporary());
    EXPECT_FALSE(prepared->populatedFrom().empty());
    EXPECT_TRUE(fs::exists(root + kExtension));
  }
  EXPECT_TRUE(fs::exists(root + kExtension));
}

TEST(DeviceRoot, AnEmptyFolderIsFilledButAUsedOneIsLeftAsItIs) {
  testing_support::TempRoot empty;
  std::string error;
  auto filled = DeviceRoot::prepare(empty.path(), &error);
  ASSERT_TRUE(filled) << error;
  EXPECT_TRUE(fs::exists(empty.path() + kExtension));

  testing_support::TempRoot used;
  used.put("/var/mobile/Library/Preferences/com.vantorel.lumivo.plist", "mine");
  auto kept = DeviceRoot::prepare(used.path(), &error);
  ASSERT_TRUE(kept) << error;
  EXPECT_TRUE(kept->populatedFrom().empty());
  EXPECT_FALSE(fs::exists(used.path() + kExtension));
  EXPECT_EQ(used.get("/var/mobile/Library/Preferences/com.vantorel.lumivo.plist"), "mine");
}

TEST(DeviceRoot, ATemporaryRootGoesAwayWithIt) {
  std::string path;
  {
    std::string error;
    auto root = DeviceRoot::prepare("", &error);
    ASSERT_TRUE(root) << error;
    EXPECT_TRUE(root->temporary());
    path = root->path();
    EXPECT_TRUE(fs::exists(path + kExtension));
    DeviceRoot moved(std::move(*root));
    EXPECT_EQ(moved.path(), path);
  }
  EXPECT_FALSE(fs::exists(path));
}

TEST(DeviceRoot, RejectsARegularFile) {
  testing_support::TempRoot dir;
  dir.put("/file", "x");
  EXPECT_EQ(prepareError(dir.host("/file")), "--root " + dir.host("/file") + ": not a folder");
}

TEST(DeviceRoot, RejectsARootThatCannotBeCreated) {
  testing_support::TempRoot dir;
  dir.put("/file", "x");
  const std::string below = dir.host("/file/device");
  EXPECT_EQ(prepareError(below).rfind("--root " + below + ": cannot create the folder: ", 0), 0u);
}

// The superuser may write anywhere the file system allows, but not into /proc.
TEST(DeviceRoot, RejectsAFolderNoOneCanWriteIn) {
  const std::string why = ": it is on proc, a file system the kernel makes up, which cannot hold files";
  EXPECT_EQ(prepareError("/proc"), "--root /proc" + why);
  EXPECT_EQ(prepareError("/proc/lumivo"), "--root /proc/lumivo" + why);
}

// Filling them would scatter the device's folders among the files there.
TEST(DeviceRoot, RejectsTheMachineRootAndFoldersOfOtherFiles) {
  for (const std::string root : {"/", "//", "/usr/.."})
    EXPECT_EQ(prepareError(root), "--root " + root + ": the machine's own root folder cannot be a device root");
  testing_support::TempRoot dir;
  dir.put("/notes.txt", "mine");
  EXPECT_NE(prepareError(dir.path()).find("holds other files and no device root"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  dir.put("/.sim/notify/1-1.fifo", "");
  std::string error;
  EXPECT_TRUE(DeviceRoot::prepare(dir.path(), &error)) << error;
}

TEST(DeviceRoot, RejectsAFolderWithoutWritePermission) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser writes through permission bits; /proc covers this as root";
  testing_support::TempRoot dir;
  dir.put("/locked/x", "x");
  chmod(dir.host("/locked").c_str(), 0555);
  EXPECT_NE(prepareError(dir.host("/locked")).find("not writable (Permission denied)"), std::string::npos);
  chmod(dir.host("/locked").c_str(), 0755);
}

}  // namespace
}  // namespace tools
