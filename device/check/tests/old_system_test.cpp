// The settings writer on a system older than the calls relative to a
// folder's descriptor (openat, fstatat, renameat, unlinkat, fdopendir: iOS
// 7), where the device links them weakly and finds them null. This program
// is linked with all of them at address 0 to stand for that system.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "settings/atomic_file.h"

namespace {

class OldSystem : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lumivo-old-system-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    for (const std::string& name : {path_, leftover_}) unlink(name.c_str());
    rmdir(folder_.c_str());
  }
  bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
  }

  std::string folder_;
  std::string path_;
  std::string leftover_;
};

TEST_F(OldSystem, ReplacesTheFileByPathAndRemovesADeadWritersLeftover) {
  path_ = folder_ + "/com.example.plist";
  leftover_ = folder_ + "/.com.example.plist.tmp-0123456789abcdef0123456789abcdef";
  int fd = open(leftover_.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  close(fd);

  ASSERT_TRUE(settings::replaceFileAtomically(path_, "new"));
  std::string bytes;
  ASSERT_TRUE(settings::readWholeFile(path_, bytes));
  EXPECT_EQ(bytes, "new");
  EXPECT_FALSE(exists(leftover_));
}

TEST_F(OldSystem, ReplacesAFileItHadAndKeepsItsMode) {
  path_ = folder_ + "/com.example.plist";
  ASSERT_TRUE(settings::replaceFileAtomically(path_, "old"));
  ASSERT_EQ(chmod(path_.c_str(), 0600), 0);
  ASSERT_TRUE(settings::replaceFileAtomically(path_, "newer"));
  std::string bytes;
  ASSERT_TRUE(settings::readWholeFile(path_, bytes));
  EXPECT_EQ(bytes, "newer");
  struct stat st {};
  ASSERT_EQ(stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(OldSystem, RefusesAReplacementByDescriptorAlone) {
  int fd = open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  EXPECT_FALSE(settings::replaceFileAtomicallyAt(fd, "com.example.plist", "new"));
  close(fd);
  path_ = folder_ + "/com.example.plist";
  EXPECT_FALSE(exists(path_));
}

}  // namespace
