// The switch and the running extension meet only through the settings file
// and the change notification: a tap or a menu choice, in SpringBoard or in
// another process on the same device, changes what the next press does.
#include <gtest/gtest.h>

#include <memory>

#include "settings/keys.h"
#include "sim/activator.h"
#include "sim/device.h"
#include "sim/toggle.h"
#include "sim/uikit.h"
#include "tests/support/other_process.h"
#include "tests/support/temp_root.h"

namespace {

const char kSwitchId[] = "com.vantorel.lumivo.switch";
const char kUp[] = "com.vantorel.brightnesslistener.up";

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    // The settings application taps the switch, once SpringBoard runs.
    sim::BootOptions preferences = testing_support::fullBoot(root_);
    preferences.process = "Preferences";
    tapInPreferences_ = std::make_unique<testing_support::OtherProcess>(preferences, [] {
      sim::applySwitchState(kSwitchId, 0);
      return sim::switchState(kSwitchId) == 0;
    });
    sim::boot(testing_support::fullBoot(root_));
  }
  void TearDown() override { sim::shutdown(); }

  // Presses the up action at brightness 0.5; the level set, if any.
  std::optional<float> pressUp() {
    sim::setScreenBrightness(0.5);
    sim::EventOutcome outcome = sim::sendEvent(kUp);
    EXPECT_TRUE(outcome.delivered);
    EXPECT_EQ(outcome.handled, outcome.level.has_value());
    return outcome.level;
  }
  static bool changeArrives() { return sim::runLoopUntilNotification(settings::kChangedNotification, 5000); }
  static void chooseInMenu(std::intptr_t index) {
    sim::switchAlternateAction(kSwitchId);
    ASSERT_EQ(sim::alertsOnScreen().size(), 1u);
    ASSERT_TRUE(sim::tapAlertButton(sim::alertsOnScreen()[0].alert, index));
  }

  testing_support::TempRoot root_{true};
  std::unique_ptr<testing_support::OtherProcess> tapInPreferences_;
};

TEST_F(EndToEnd, SwitchAndMenuInSpringBoardSteerTheNextPress) {
  ASSERT_EQ(sim::switchIdentifiers(), std::vector<std::string>{kSwitchId});
  ASSERT_NEAR(pressUp().value_or(-1), 0.55f, 1e-6);

  sim::applySwitchState(kSwitchId, 0);
  ASSERT_TRUE(changeArrives());
  EXPECT_EQ(pressUp(), std::nullopt) << "switched off, the press is left to the host";

  chooseInMenu(1);
  ASSERT_TRUE(changeArrives());
  EXPECT_EQ(pressUp(), std::nullopt) << "force mode alone does not switch it on";
  sim::applySwitchState(kSwitchId, 1);
  ASSERT_TRUE(changeArrives());
  EXPECT_NEAR(pressUp().value_or(-1), 0.75f, 1e-6);

  chooseInMenu(2);
  ASSERT_TRUE(changeArrives());
  EXPECT_NEAR(pressUp().value_or(-1), 0.55f, 1e-6);
}

TEST_F(EndToEnd, SwitchTappedInAnotherProcessReachesSpringBoard) {
  ASSERT_NEAR(pressUp().value_or(-1), 0.55f, 1e-6);
  ASSERT_TRUE(tapInPreferences_->run());

  ASSERT_TRUE(changeArrives());
  EXPECT_EQ(pressUp(), std::nullopt);
  EXPECT_EQ(sim::postCount(settings::kChangedNotification), 0) << "the post came from the other process";
}

}  // namespace
