// The simulated toggle framework: which bundles it loads, how it finds
// their principal class.
#include <filesystem>

#include "sim/journal.h"
#include "sim/uikit.h"
#include "tests/switch/switch_fixture.h"

namespace switch_test {
namespace {

namespace fs = std::filesystem;
using testing_support::TempRoot;

const char kSwitches[] = "/Library/Switches/";

// An Info.plist naming the given identifier, executable and class.
std::string infoPlist(const std::string& identifier, const std::string& executable, const std::string& cls) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
         "<key>CFBundleIdentifier</key><string>" + identifier + "</string>"
         "<key>CFBundleExecutable</key><string>" + executable + "</string>"
         "<key>NSPrincipalClass</key><string>" + cls + "</string></dict></plist>";
}

// A bundle holding its own copy of the Lumivo executable.
void copyBundle(const TempRoot& root, const std::string& name, const std::string& info) {
  root.put(kSwitches + name + "/Info.plist", info);
  fs::copy_file(root.host("/Library/Switches/Lumivo.bundle/Lumivo"), root.host(kSwitches + name + "/Lumivo"));
}

sim::BootOptions appBoot(const TempRoot& root) {
  sim::BootOptions options = testing_support::fullBoot(root);
  options.process = "Preferences";
  return options;
}

class ToggleFramework : public ::testing::Test {
 protected:
  void TearDown() override { sim::shutdown(); }
  TempRoot root_{true};
};

TEST_F(ToggleFramework, LoadsWellFormedBundlesAndSkipsTheRest) {
  root_.put("/Library/Switches/A.bundle/readme", "no Info.plist");
  root_.put("/Library/Switches/B.bundle/Info.plist",
            infoPlist("com.test.b", "../Lumivo.bundle/Lumivo", "LumivoSwitch"));
  root_.put("/Library/Switches/C.bundle/Info.plist", infoPlist("com.test.c", "C", "LumivoSwitch"));
  root_.put("/Library/Switches/C.bundle/C", "not a loadable module");
  copyBundle(root_, "D.bundle", infoPlist("com.test.d", "Lumivo", "NoSuchClass"));
  copyBundle(root_, "E.bundle", infoPlist("com.test.e", "Lumivo", "LumivoSwitch"));
  copyBundle(root_, "Z.bundle", infoPlist(kSwitchId, "Lumivo", "LumivoSwitch"));
  root_.put("/Library/Switches/F.bundle", "a file, not a bundle");
  root_.put("/Library/Switches/G/Info.plist", infoPlist("com.test.g", "Lumivo", "LumivoSwitch"));
  sim::boot(appBoot(root_));

  EXPECT_EQ(sim::switchIdentifiers(), (std::vector<std::string>{"com.test.e", kSwitchId}));
  EXPECT_EQ(sim::journalCount("toggleFailed"), 5);
  EXPECT_EQ(sim::journalCount("toggleLoad"), 4);

  sim::applySwitchState("com.test.e", 0);
  EXPECT_EQ(sim::switchState(kSwitchId), 0) << "both switches share one settings file";
  sim::applySwitchState("com.test.unknown", 1);
  sim::switchAlternateAction("com.test.unknown");
  EXPECT_EQ(sim::switchState("com.test.unknown"), -1);
  EXPECT_EQ(sim::postCount(settings::kChangedNotification), 1);
  EXPECT_TRUE(sim::alertsOnScreen().empty());
}

}  // namespace
}  // namespace switch_test
