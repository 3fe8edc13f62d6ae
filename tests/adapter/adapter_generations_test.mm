// The adapter's SpringBoard, brightness and alert operations on stand-ins of
// each host generation: each operation finds its source where the offer
// table gives the release one and yields none or false where it does not.
#import <UIKit/UIKit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "host/releases.h"
#include "sim/frameworks/platform.h"
#include "sim/offers.h"
#include "tests/adapter/pool.h"
#include "host/host.h"

namespace host {

// The release's name in the test's description.
static void PrintTo(const Release& release, std::ostream* out) { *out << release.name; }

}  // namespace host

namespace {

// What SpringBoard is offered at `version`.
std::set<std::string> offeredAt(double version) {
  std::set<std::string> offered;
  for (const sim::Offer& offer : sim::offers())
    if (sim::offerAt(offer, version, true)) offered.insert(sim::operationName(offer));
  return offered;
}

// Each release whose offer differs from the one before: every generation
// once.
std::vector<host::Release> generations() {
  std::vector<host::Release> releases;
  for (const host::Release& release : host::kReleases)
    if (releases.empty() || offeredAt(release.coreFoundation) != offeredAt(releases.back().coreFoundation))
      releases.push_back(release);
  return releases;
}

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
class GenerationTest : public PooledTest, public ::testing::WithParamInterface<host::Release> {
 protected:
  void SetUp() override {
    PooledTest::SetUp();
    standin::bootHost(GetParam().coreFoundation);
    standin::startSpringBoard();
    standin::createFrontApplicationObjects();
  }
  bool offers(const std::string& operation) const { return offered_.count(operation) != 0; }

 private:
  std::set<std::string> offered_ = offeredAt(GetParam().coreFoundation);
};

TEST_P(GenerationTest, LockComesFromTheControllerTheHostHas) {
  host::Id away = host::awayControllerShared();
  host::Id manager = host::lockScreenManagerShared();
  const bool awayController = offers("+[SBAwayController sharedAwayController]");
  const bool lockScreenManager = offers("+[SBLockScreenManager sharedInstance]");
  EXPECT_EQ(away != nullptr, awayController);
  EXPECT_EQ(manager != nullptr, lockScreenManager);
  for (bool locked : {true, false}) {
    standin::setLocked(locked);
    EXPECT_EQ(host::awayControllerIsLocked(away), awayController && locked);
    EXPECT_EQ(host::lockScreenManagerIsUILocked(manager), lockScreenManager && locked);
  }
}

TEST_P(GenerationTest, FrontApplicationComesFromTheSourcesTheHostHas) {
  host::Id springBoard = host::applicationShared();
  host::Id workspace = host::workspaceBKSWorkspace(
      reinterpret_cast<host::Id>([[[NSClassFromString(@"SBWorkspace") alloc] init] autorelease]));
  const bool bksWorkspace = offers("-[SBWorkspace bksWorkspace]");
  EXPECT_EQ(workspace != nullptr, bksWorkspace);
  standin::showApplication("com.example.mail");
  host::Id front = host::springBoardFrontMostApplication(springBoard);
  EXPECT_EQ(front != nullptr, offers("-[SpringBoard _accessibilityFrontMostApplication]"));
  EXPECT_EQ(host::bksWorkspaceTopApplication(workspace),
            bksWorkspace ? std::optional<std::string>("com.example.mail") : std::nullopt);
  if (front) {
    EXPECT_EQ(host::applicationBundleIdentifier(front), "com.example.mail");
    EXPECT_EQ(host::applicationDisplayIdentifier(front),
              offers("-[SBApplication displayIdentifier]") ? std::optional<std::string>("com.example.mail")
                                                            : std::nullopt);
  }
  standin::showApplication(std::nullopt);
  EXPECT_EQ(host::springBoardFrontMostApplication(springBoard), nullptr);
  EXPECT_EQ(host::bksWorkspaceTopApplication(workspace), std::nullopt);
}

TEST_P(GenerationTest, HooksCanAskWhichMethodsTheHostHas) {
  host::Class* springBoard = host::getClass("SpringBoard");
  const bool argument = offers("-[SpringBoard frontDisplayDidChange:]");
  EXPECT_EQ(host::classHasInstanceMethod(springBoard, host::selectorNamed("frontDisplayDidChange:")), argument);
  EXPECT_EQ(host::classHasInstanceMethod(springBoard, host::selectorNamed("frontDisplayDidChange")), !argument);
  EXPECT_TRUE(host::classHasInstanceMethod(springBoard, host::selectorNamed("init"))) << "inherited";
  EXPECT_FALSE(host::classHasInstanceMethod(nullptr, host::selectorNamed("init")));
}

TEST_P(GenerationTest, BrightnessGoesToTheFunctionsTheHostExports) {
  const bool backlight = offers("GSEventSetBacklightLevel()");
  EXPECT_EQ(host::setBacklightLevel(0.25f), backlight);
  EXPECT_EQ(standin::backlightLevels(), backlight ? std::vector<float>{0.25f} : std::vector<float>{});
  const bool backBoard = offers("BKSDisplayBrightnessSet()");
  EXPECT_EQ(host::displayBrightnessSet(0.75f), backBoard);
  EXPECT_EQ(standin::displayBrightnessLevels(), backBoard ? std::vector<float>{0.75f} : std::vector<float>{});
}

TEST_P(GenerationTest, AlertControllerReportsTappedActionsNumberedAsAlertViewsAre) {
  static Recorder recorder;
  host::Id controller = host::alertControllerCreate("Menu", nullptr, &recorder, "Cancel", {"One", "Two"});
  ASSERT_EQ(controller != nullptr, offers("+[UIAlertController alertControllerWithTitle:message:preferredStyle:]"));
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

INSTANTIATE_TEST_SUITE_P(Hosts, GenerationTest, ::testing::ValuesIn(generations()), [](const auto& info) {
  std::string name = "iOS" + std::string(info.param.name);
  std::replace(name.begin(), name.end(), '.', '_');
  return name;
});

}  // namespace
