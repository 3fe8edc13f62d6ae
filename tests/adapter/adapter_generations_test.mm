// The adapter's SpringBoard, brightness and alert operations on stand-ins of
// each host generation: each operation finds its source where the release
// has one and yields none or false where it has not.
#import <UIKit/UIKit.h>

#include <gtest/gtest.h>

#include "sim/frameworks/platform.h"
#include "tests/adapter/pool.h"
#include "host/host.h"

namespace {

// What each release offers the adapter (../shared/HOSTS.md).
struct Generation {
  const char* name;
  double version;
  bool awayController, lockScreenManager, bksWorkspace, frontMost, displayIdentifier, backlight, alertController;
};
const Generation kGenerations[] = {
    {"iOS5", standin::kIOS5, true, false, false, false, true, true, false},
    {"iOS7", standin::kIOS7, false, true, true, true, true, true, false},
    {"iOS9", standin::kIOS9, false, true, false, true, false, true, true},
    {"iOS14", standin::kIOS14, false, true, false, true, false, false, true},
};

void PrintTo(const Generation& generation, std::ostream* out) { *out << generation.name; }

class Recorder : public host::AlertDelegate {
 public:
  void alertViewClickedButtonAtIndex(host::Id alert, std::intptr_t index) override {
    alerts.push_back(alert);
    indices.push_back(index);
  }
  std::vector<host::Id> alerts;
  std::vector<std::intptr_t> indices;
};

// Every test boots its own host: one generation per process, as ctest runs
// each test in a process of its own.
class GenerationTest : public PooledTest, public ::testing::WithParamInterface<Generation> {
 protected:
  void SetUp() override {
    PooledTest::SetUp();
    standin::bootHost(GetParam().version);
    standin::startSpringBoard();
    standin::createFrontApplicationObjects();
  }
  const Generation& g = GetParam();
};

TEST_P(GenerationTest, LockComesFromTheControllerTheHostHas) {
  host::Id away = host::awayControllerShared();
  host::Id manager = host::lockScreenManagerShared();
  EXPECT_EQ(away != nullptr, g.awayController);
  EXPECT_EQ(manager != nullptr, g.lockScreenManager);
  for (bool locked : {true, false}) {
    standin::setLocked(locked);
    EXPECT_EQ(host::awayControllerIsLocked(away), g.awayController && locked);
    EXPECT_EQ(host::lockScreenManagerIsUILocked(manager), g.lockScreenManager && locked);
  }
}

TEST_P(GenerationTest, FrontApplicationComesFromTheSourcesTheHostHas) {
  host::Id springBoard = host::applicationShared();
  host::Id workspace = host::workspaceBKSWorkspace(
      reinterpret_cast<host::Id>([[[NSClassFromString(@"SBWorkspace") alloc] init] autorelease]));
  EXPECT_EQ(workspace != nullptr, g.bksWorkspace);
  standin::showApplication("com.example.mail");
  host::Id front = host::springBoardFrontMostApplication(springBoard);
  EXPECT_EQ(front != nullptr, g.frontMost);
  EXPECT_EQ(host::bksWorkspaceTopApplication(workspace),
            g.bksWorkspace ? std::optional<std::string>("com.example.mail") : std::nullopt);
  if (front) {
    EXPECT_EQ(host::applicationBundleIdentifier(front), "com.example.mail");
    EXPECT_EQ(host::applicationDisplayIdentifier(front),
              g.displayIdentifier ? std::optional<std::string>("com.example.mail") : std::nullopt);
  }
  standin::showApplication(std::nullopt);
  EXPECT_EQ(host::springBoardFrontMostApplication(springBoard), nullptr);
  EXPECT_EQ(host::bksWorkspaceTopApplication(workspace), std::nullopt);
}

TEST_P(GenerationTest, HooksCanAskWhichMethodsTheHostHas) {
  host::Class* springBoard = host::getClass("SpringBoard");
  const bool argument = g.version >= standin::kIOS7;
  EXPECT_EQ(host::classHasInstanceMethod(springBoard, host::selectorNamed("frontDisplayDidChange:")), argument);
  EXPECT_EQ(host::classHasInstanceMethod(springBoard, host::selectorNamed("frontDisplayDidChange")), !argument);
  EXPECT_TRUE(host::classHasInstanceMethod(springBoard, host::selectorNamed("init"))) << "inherited";
  EXPECT_FALSE(host::classHasInstanceMethod(nullptr, host::selectorNamed("init")));
}

TEST_P(GenerationTest, BrightnessGoesToTheFunctionsTheHostExports) {
  EXPECT_EQ(host::setBacklightLevel(0.25f), g.backlight);
  EXPECT_EQ(standin::backlightLevels(), g.backlight ? std::vector<float>{0.25f} : std::vector<float>{});
  const bool backBoard = g.version >= standin::kIOS7;
  EXPECT_EQ(host::displayBrightnessSet(0.75f), backBoard);
  EXPECT_EQ(standin::displayBrightnessLevels(), backBoard ? std::vector<float>{0.75f} : std::vector<float>{});
}

TEST_P(GenerationTest, AlertControllerReportsTappedActionsNumberedAsAlertViewsAre) {
  static Recorder recorder;
  host::Id controller = host::alertControllerCreate("Menu", nullptr, &recorder, "Cancel", {"One", "Two"});
  ASSERT_EQ(controller != nullptr, g.alertController);
  if (!controller) return;
  host::alertControllerPresent(controller);
  host::release(controller);
  ASSERT_EQ(standin::alertsOnScreen().size(), 1u);
  standin::Alert shown = standin::alertsOnScreen()[0];
  EXPECT_TRUE(shown.controller);
  EXPECT_EQ(shown.title, "Menu");
  EXPECT_EQ(shown.message, std::nullopt);
  EXPECT_EQ(shown.buttons, (std::vector<std::string>{"Cancel", "One", "Two"}));
  EXPECT_EQ(standin::windowsVisible(), 1);
  standin::tapAlertButton(0, 2);
  EXPECT_EQ(recorder.indices, std::vector<std::intptr_t>{2});
  EXPECT_EQ(reinterpret_cast<id>(recorder.alerts.at(0)), shown.alert);
  EXPECT_EQ(standin::windowsVisible(), 0) << "the switch's window stays after the tap";

  // Without a cancel button the others still count from 1.
  controller = host::alertControllerCreate("Menu", "Text", &recorder, nullptr, {"Only"});
  host::alertControllerPresent(controller);
  host::release(controller);
  standin::tapAlertButton(0, 0);
  EXPECT_EQ(recorder.indices, (std::vector<std::intptr_t>{2, 1}));
}

INSTANTIATE_TEST_SUITE_P(Hosts, GenerationTest, ::testing::ValuesIn(kGenerations),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
