// The step arithmetic for both widths of the host's CGFloat, and a listener
// of any status driven directly.
#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

#include "extension/brightness_listener.h"
#include "extension/extension_state.h"
#include "extension/step.h"
#include "sim/activator.h"
#include "sim/device.h"
#include "sim/uikit.h"
#include "tests/support/temp_root.h"

namespace {

TEST(StepChange, FormedInSinglePrecision) {
  EXPECT_EQ(stepChange(0, false, 0.05f), 0.05f);
  EXPECT_EQ(stepChange(0, true, 0.05f), 0.05f * 5.0f);
  EXPECT_EQ(stepChange(1, false, 0.05f), -0.05f);
  EXPECT_EQ(stepChange(1, true, 0.05f), 0.05f * -5.0f);
  EXPECT_EQ(stepChange(7, false, 0.05f), -0.05f);
  EXPECT_EQ(stepChange(-1, true, 0.05f), 0.05f * -5.0f);
  EXPECT_EQ(stepChange(0, true, 0.1f), 0.5f);
  EXPECT_EQ(stepChange(1, false, -0.05f), 0.05f);
  EXPECT_TRUE(std::isinf(stepChange(0, true, 1e38f))) << "no range check";
}

TEST(SteppedLevel, SixtyFourBitHostsAddInDouble) {
  static_assert(std::is_same_v<decltype(steppedLevel(0.5, 0.0f)), float>);
  EXPECT_EQ(steppedLevel(0.5, 0.05f), 0.55f);
  EXPECT_EQ(steppedLevel(0.5, -0.05f), 0.45f);
  EXPECT_EQ(steppedLevel(1.0, 0.05f), 1.05f);
  // 0.3 + 0.05f rounded once from double.
  EXPECT_EQ(steppedLevel(0.3, 0.05f), 0.35f);
}

TEST(SteppedLevel, ThirtyTwoBitHostsAddInFloat) {
  static_assert(std::is_same_v<decltype(steppedLevel(0.5f, 0.0f)), float>);
  EXPECT_EQ(steppedLevel(0.5f, 0.05f), 0.55f);
  EXPECT_EQ(steppedLevel(0.5f, -0.05f), 0.45f);
  // 0.3f + 0.05f rounds to the float above 0.35f, where double does not.
  EXPECT_EQ(steppedLevel(0.3f, 0.05f), std::nextafter(0.35f, 1.0f));
  EXPECT_NE(steppedLevel(0.3f, 0.05f), steppedLevel(0.3, 0.05f));
}

TEST(SteppedLevel, NotClamped) {
  EXPECT_EQ(steppedLevel(0.0, -0.25f), -0.25f);
  EXPECT_EQ(steppedLevel(1.0f, 0.25f), 1.25f);
}

// A listener of this test's own, with this test's own copy of the
// extension's state, registered under a name of its own.
class AnyStatus : public ::testing::Test {
 protected:
  void SetUp() override { sim::boot(testing_support::bareBoot(root_)); }
  void TearDown() override { sim::shutdown(); }

  sim::EventOutcome press(BrightnessListener& listener) {
    host::activatorRegisterListener(host::activatorShared(), &listener, "test.listener");
    sim::setScreenBrightness(0.5);
    return sim::sendEvent("test.listener");
  }
  testing_support::TempRoot root_;
};

TEST_F(AnyStatus, StatusIsKept) {
  EXPECT_EQ(BrightnessListener(0).status(), 0);
  EXPECT_EQ(BrightnessListener(7).status(), 7);
  EXPECT_EQ(BrightnessListener(-3).status(), -3);
}

TEST_F(AnyStatus, ReloadWithoutASettingsFileGivesTheDefaults) {
  reloadSettings();
  const ExtensionState& s = extensionState();
  EXPECT_TRUE(s.enabled);
  EXPECT_FALSE(s.disableSpringBoard);
  EXPECT_FALSE(s.disableKeyboard);
  EXPECT_FALSE(s.forceMode);
  EXPECT_EQ(s.increment, 0.05f);
}

TEST_F(AnyStatus, EveryNonZeroStatusStepsDown) {
  reloadSettings();
  for (int32_t status : {1, 7, -1, INT32_MIN}) {
    BrightnessListener listener(status);
    auto outcome = press(listener);
    EXPECT_TRUE(outcome.handled) << status;
    EXPECT_EQ(outcome.level, 0.45f) << status;
  }
  BrightnessListener up(0);
  EXPECT_EQ(press(up).level, 0.55f);
}

}  // namespace
