#include "tools/render.h"

#include <gtest/gtest.h>

#include "tools/status.h"

namespace tools {
namespace {

TEST(BrightnessBar, FillsInProportionAndMarksLevelsOutsideThePanel) {
  EXPECT_EQ(brightnessBar(0.5, false, 10), "[#####-----] 0.5");
  EXPECT_EQ(brightnessBar(0, false, 4), "[----] 0");
  EXPECT_EQ(brightnessBar(1.05, false, 4), "[####]> 1.05");
  EXPECT_EQ(brightnessBar(-0.05, false, 4), "<[----] -0.05");
  EXPECT_EQ(brightnessBar(static_cast<double>(0.55f), false, 20), "[###########---------] 0.55");
  EXPECT_EQ(brightnessBar(0.5, true, 2), "\u2595\u2588\u2591\u258f 0.5");
}

TEST(StatusLine, NamesEveryPartOfTheDevice) {
  DeviceStatus s;
  s.brightness = 0.5;
  EXPECT_EQ(formatStatus(s),
            "brightness 0.5 | level never set | home screen | unlocked | keyboard hidden | no switch | no alerts");
  s.lastLevel = 0.55f;
  s.front = "com.apple.Maps";
  s.locked = true;
  s.keyboard = true;
  s.switchState = 0;
  s.alertTitles = {"Lumivo", "Other"};
  EXPECT_EQ(formatStatus(s),
            "brightness 0.5 | level 0.55 | front com.apple.Maps | locked | keyboard shown | switch off | alerts: "
            "\"Lumivo\" \"Other\"");
}

}  // namespace
}  // namespace tools
