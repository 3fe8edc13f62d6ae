// host::readPreferences and host::changePreferences on both of the adapter's
// paths: the file with Foundation (below host::kPreferencesDaemonVersion)
// and the preferences daemon (from then on).
#import <Foundation/Foundation.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/releases.h"
#include "sim/frameworks/foundation_files.h"
#include "sim/frameworks/platform.h"
#include "sim/journal.h"
#include "sim/plist/limits.h"
#include "sim/preferences.h"
#include "tests/adapter/pool.h"
#include "host/host.h"

static_assert(host::kMaxPreferencesFileBytes == plist::kMaxFileBytes, "the device reads what the simulator reads");

// Fault injection: once armed with a file, the first close of a descriptor of
// that file renames a FIFO over its path, where a second open of the path
// would wait for a writer for ever.
namespace {
std::string gSwapPath;
ino_t gSwapInode = 0;
}  // namespace
extern "C" int close(int fd) {
  struct stat st {};
  const bool swap = !gSwapPath.empty() && fstat(fd, &st) == 0 && st.st_ino == gSwapInode;
  const int closed = static_cast<int>(syscall(SYS_close, fd));
  if (swap) {
    const std::string fifo = gSwapPath + ".fifo";
    if (mkfifo(fifo.c_str(), 0600) == 0) rename(fifo.c_str(), gSwapPath.c_str());
    gSwapPath.clear();
  }
  return closed;
}

namespace {

using host::PreferencesStatus;
using host::PreferencesWrite;
using host::PreferenceValue;
using Type = PreferenceValue::Type;

constexpr char kPath[] = "/var/mobile/Library/Preferences/com.example.tweak.plist";

class PreferencesTest : public DeviceRootTest, public ::testing::WithParamInterface<double> {
 protected:
  PreferencesTest() : DeviceRootTest(GetParam()) {}
  void SetUp() override {
    DeviceRootTest::SetUp();
    standin::forgetPreferences();
    file_ = root_ + kPath;
  }
  bool daemon() const { return GetParam() >= host::kPreferencesDaemonVersion; }
  void writeFile(NSDictionary* values) {
    ASSERT_TRUE([values writeToFile:[NSString stringWithUTF8String:file_.c_str()] atomically:YES]);
  }
  // The file as the platform reads it.
  static NSDictionary* stored() { return standin::objectOf(sim::readPreferencesFile(kPath).document.root(), false); }
  static host::PreferencesRead read(std::initializer_list<std::string_view> keys) {
    return host::readPreferences(kPath, std::span<const std::string_view>(keys.begin(), keys.size()));
  }
  static PreferencesWrite change(std::initializer_list<host::PreferenceChange> changes) {
    return host::changePreferences(kPath, std::span<const host::PreferenceChange>(changes.begin(), changes.size()));
  }
  void writeBytes(const char* bytes) { std::ofstream(file_) << bytes; }
  std::string bytesOf(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path).rdbuf();
    return bytes.str();
  }
  std::string file_;
};

TEST_P(PreferencesTest, ValuesReadWithTheirTypesInTheOrderAsked) {
  EXPECT_EQ(read({"on"}).status, PreferencesStatus::kAbsent);
  writeFile([NSDictionary dictionaryWithObjectsAndKeys:[NSNumber numberWithBool:YES], @"on", [NSNumber numberWithInt:1],
                                                 @"count", [NSNumber numberWithDouble:0.25], @"step", @"mail", @"name",
                                                 [NSArray arrayWithObject:@"a"], @"list", nil]);
  host::PreferencesRead got = read({"step", "missing", "on", "count", "name", "list"});
  EXPECT_EQ(got.status, PreferencesStatus::kRead);
  ASSERT_EQ(got.values.size(), 6u);
  EXPECT_EQ(got.values[0]->type, Type::kReal);
  EXPECT_EQ(got.values[0]->number, 0.25);
  EXPECT_FALSE(got.values[1]);
  EXPECT_EQ(got.values[2]->type, Type::kBoolean);
  EXPECT_EQ(got.values[2]->number, 1);
  EXPECT_EQ(got.values[3]->type, Type::kInteger);
  EXPECT_EQ(got.values[3]->number, 1);
  EXPECT_EQ(got.values[4]->type, Type::kString);
  EXPECT_EQ(got.values[4]->text, "mail");
  EXPECT_EQ(got.values[5]->type, Type::kOther);
  EXPECT_GT(sim::journalCount(daemon() ? "CFPreferencesCopyMultiple()"
                                       : "+[NSPropertyListSerialization propertyListWithData:options:format:error:]"),
            0);
}

TEST_P(PreferencesTest, ChangesSetAndRemoveKeysAndKeepEveryOther) {
  writeFile([NSDictionary dictionaryWithObjectsAndKeys:@"kept", @"unknown", [NSNumber numberWithBool:YES], @"gone", nil]);
  const PreferenceValue off{Type::kBoolean, 0, {}}, level{Type::kInteger, 3, {}}, step{Type::kReal, 0.5, {}};
  ASSERT_EQ(change({{"on", &off}, {"gone", nullptr}, {"level", &level}, {"step", &step}}), PreferencesWrite::kWritten);
  host::PreferencesRead got = read({"on", "gone", "level", "step", "unknown"});
  EXPECT_EQ(got.values[0]->type, Type::kBoolean);
  EXPECT_EQ(got.values[0]->number, 0);
  EXPECT_FALSE(got.values[1]);
  EXPECT_EQ(got.values[2]->type, Type::kInteger);
  EXPECT_EQ(got.values[3]->type, Type::kReal);
  EXPECT_EQ(got.values[4]->text, "kept");
  EXPECT_EQ([stored() count], 4u);
}

TEST_P(PreferencesTest, UnreadableFileIsKeptAsideBeforeTheFirstChangeReplacesIt) {
  writeBytes("not a property list");
  host::PreferencesRead got = read({"on"});
  EXPECT_EQ(got.status, PreferencesStatus::kUnreadable);
  EXPECT_FALSE(got.why.empty());
  const PreferenceValue on{Type::kBoolean, 1, {}};
  ASSERT_EQ(change({{"on", &on}}), PreferencesWrite::kWritten);
  EXPECT_EQ(bytesOf(file_ + ".unreadable"), "not a property list");
  EXPECT_TRUE([[stored() objectForKey:@"on"] boolValue]);
}

TEST_P(PreferencesTest, FileSwappedForAFifoOnceCheckedIsReadAsChecked) {
  writeFile([NSDictionary dictionaryWithObject:[NSNumber numberWithBool:YES] forKey:@"on"]);
  struct stat st {};
  ASSERT_EQ(stat(file_.c_str(), &st), 0);
  const pid_t reader = fork();
  if (reader == 0) {
    alarm(10);
    gSwapInode = st.st_ino;
    gSwapPath = file_;
    _exit(read({"on"}).status == PreferencesStatus::kRead ? 0 : 1);
  }
  int status = -1;
  waitpid(reader, &status, 0);
  EXPECT_FALSE(WIFSIGNALED(status)) << "the read waited on the FIFO";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_P(PreferencesTest, FileBeyondTheBoundReadsAsUnreadableAndIsKeptAsideAtTheNextChange) {
  // A dictionary that reads but for its size.
  writeFile([NSDictionary dictionaryWithObjectsAndKeys:[NSNumber numberWithBool:YES], @"on", @"#", @"pad", nil]);
  std::string bytes = bytesOf(file_);
  bytes.replace(bytes.find('#'), 1, host::kMaxPreferencesFileBytes, ' ');
  std::ofstream(file_) << bytes;
  host::PreferencesRead got = read({"on"});
  EXPECT_EQ(got.status, PreferencesStatus::kUnreadable);
  EXPECT_EQ(got.why, "file is larger than the limit of 16 MiB");
  EXPECT_FALSE(got.values[0]);
  const PreferenceValue level{Type::kInteger, 3, {}};
  ASSERT_EQ(change({{"level", &level}}), PreferencesWrite::kWritten);
  EXPECT_GT(std::filesystem::file_size(file_ + ".unreadable"), host::kMaxPreferencesFileBytes);
  EXPECT_EQ([stored() count], 1u);
  EXPECT_EQ(read({"level"}).status, PreferencesStatus::kRead);
}

TEST_P(PreferencesTest, FileThatCannotBeReadIsNeverReplaced) {
  std::filesystem::create_directory(file_);
  EXPECT_EQ(read({"on"}).status, PreferencesStatus::kFailed);
  const PreferenceValue on{Type::kBoolean, 1, {}};
  EXPECT_EQ(change({{"on", &on}}), PreferencesWrite::kReadFailed);
  EXPECT_TRUE(std::filesystem::is_directory(file_));
  EXPECT_EQ([stored() count], 0u);
}

TEST_P(PreferencesTest, ValuesWithoutAPropertyListFormWriteNothing) {
  writeFile([NSDictionary dictionaryWithObject:@"kept" forKey:@"name"]);
  const PreferenceValue badText{Type::kString, 0, "\xff"}, other{Type::kOther, 0, {}}, half{Type::kInteger, 0.5, {}};
  for (const PreferenceValue* value : {&badText, &other, &half})
    EXPECT_EQ(change({{"name", value}}), PreferencesWrite::kNotWritable);
  EXPECT_EQ(change({{"\xff", nullptr}}), PreferencesWrite::kNotWritable);
  EXPECT_EQ(read({"name"}).values[0]->text, "kept");
}

// Another process changing another key at the same moment, and another
// writer of the file between two changes of this one.
TEST_P(PreferencesTest, WritersOfDifferentKeysKeepEachOthersChanges) {
  constexpr int kRounds = 40;
  const pid_t other = fork();
  bool written = true;
  for (int i = 1; i <= kRounds && written; ++i) {
    const PreferenceValue value{Type::kInteger, static_cast<double>(i), {}};
    written = change({{other == 0 ? "theirs" : "mine", &value}}) == PreferencesWrite::kWritten;
  }
  if (other == 0) _exit(written ? 0 : 1);
  int status = -1;
  waitpid(other, &status, 0);
  EXPECT_TRUE(written);
  EXPECT_EQ(status, 0);
  standin::daemonSetValue("com.example.tweak", "between", [NSNumber numberWithInt:1]);
  ASSERT_EQ(change({{"mine", nullptr}}), PreferencesWrite::kWritten);
  host::PreferencesRead got = read({"mine", "theirs", "between"});
  EXPECT_FALSE(got.values[0]);
  ASSERT_TRUE(got.values[1] && got.values[2]);
  EXPECT_EQ(got.values[1]->number, kRounds);
}

// Links planted at the file, or at its folder, to a file outside the device.
TEST_P(PreferencesTest, PlantedLinksLeadNowhereOutsideTheDevice) {
  const std::string outside = root_ + "-outside", folder = root_ + "/var/mobile/Library/Preferences";
  std::filesystem::create_directory(outside);
  const std::string target = outside + "/com.example.tweak.plist";
  std::ofstream(target) << "{ on = 1; }";
  const PreferenceValue level{Type::kInteger, 3, {}};
  std::filesystem::create_symlink(target, file_);
  EXPECT_FALSE(read({"on"}).values[0]);
  EXPECT_EQ(change({{"level", &level}}), PreferencesWrite::kWritten);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory_symlink(outside, folder);
  EXPECT_FALSE(read({"on"}).values[0]);
  change({{"level", &level}});
  EXPECT_EQ(bytesOf(target), "{ on = 1; }");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outside), {}), 1);
  std::filesystem::remove_all(outside);
}

INSTANTIATE_TEST_SUITE_P(Hosts, PreferencesTest,
                         ::testing::Values(host::coreFoundationOf("7.0"), host::coreFoundationOf("9.0")),
                         [](const auto& info) {
                           return info.param < host::kPreferencesDaemonVersion ? "File" : "Daemon";
                         });

class WritersLockTest : public DeviceRootTest {
 protected:
  WritersLockTest() : DeviceRootTest(host::coreFoundationOf("7.0")) {}
};

TEST_F(WritersLockTest, WriterThatCannotTakeTheLockInTimeWritesNothing) {
  const int held = open((root_ + kPath + ".lock").c_str(), O_RDONLY | O_CREAT, 0644);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  const PreferenceValue on{Type::kBoolean, 1, {}};
  const host::PreferenceChange changes[] = {{"on", &on}};
  EXPECT_EQ(host::changePreferences(kPath, changes), PreferencesWrite::kNotLocked);
  EXPECT_FALSE(std::filesystem::exists(root_ + kPath));
  close(held);
}

}  // namespace
