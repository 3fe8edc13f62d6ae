// The simulated alert machinery and link service, driven through host.h as
// a plug-in would: lifetime while shown, what reaches the delegate, and the
// link record.
#include <gtest/gtest.h>

#include <vector>

#include "host/host.h"
#include "sim/device.h"
#include "sim/runtime.h"
#include "sim/uikit.h"
#include "tests/support/temp_root.h"

namespace {

struct Tap {
  host::Id alert;
  std::intptr_t index;
};

class RecordingDelegate : public host::AlertDelegate {
 public:
  void alertViewClickedButtonAtIndex(host::Id alertView, std::intptr_t index) override {
    stillOnScreen.push_back(sim::alertsOnScreen().size());
    taps.push_back({alertView, index});
  }
  std::vector<Tap> taps;
  std::vector<std::size_t> stillOnScreen;
};

class AlertsAndLinks : public ::testing::Test {
 protected:
  void SetUp() override { sim::boot(testing_support::bareBoot(root_)); }
  void TearDown() override { sim::shutdown(); }
  testing_support::TempRoot root_;
  RecordingDelegate delegate_;
};

TEST_F(AlertsAndLinks, ShownAlertLivesUntilTappedAndPassesAnyIndexOn) {
  host::Id alert = host::alertCreate("T", "M", &delegate_, "Cancel", {"One", "Two"});
  EXPECT_TRUE(sim::alertsOnScreen().empty()) << "not shown yet";
  host::alertShow(alert);
  host::alertShow(alert);
  host::release(alert);
  ASSERT_EQ(sim::liveObjectCount("UIAlertView"), 1);
  auto shown = sim::alertsOnScreen();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].message, "M");
  EXPECT_EQ(shown[0].buttons, (std::vector<std::string>{"Cancel", "One", "Two"}));

  EXPECT_TRUE(sim::tapAlertButton(alert, -7));
  ASSERT_EQ(delegate_.taps.size(), 1u);
  EXPECT_EQ(delegate_.taps[0].alert, alert);
  EXPECT_EQ(delegate_.taps[0].index, -7);
  EXPECT_EQ(delegate_.stillOnScreen[0], 1u) << "the delegate answers before the alert leaves";
  EXPECT_EQ(sim::liveObjectCount("UIAlertView"), 0);
  EXPECT_FALSE(sim::tapAlertButton(alert, 0));
  EXPECT_EQ(delegate_.taps.size(), 1u);
}

TEST_F(AlertsAndLinks, NullOrForeignObjectsAreIgnored) {
  host::Id app = host::applicationShared();
  EXPECT_EQ(host::applicationShared(), app);
  host::alertShow(nullptr);
  host::alertShow(app);
  EXPECT_TRUE(sim::alertsOnScreen().empty());

  EXPECT_EQ(host::urlWithString(nullptr), nullptr);
  host::Id url = host::urlWithString("prefs:root=X");
  host::applicationOpenURL(nullptr, url);
  host::applicationOpenURL(app, nullptr);
  host::applicationOpenURL(app, app);
  EXPECT_TRUE(sim::openedLinks().empty());
  host::applicationOpenURL(app, url);
  EXPECT_EQ(sim::openedLinks(), std::vector<std::string>{"prefs:root=X"});

  EXPECT_EQ(sim::liveObjectCount("NSURL"), 1);
  sim::runLoopOnce();
  EXPECT_EQ(sim::liveObjectCount("NSURL"), 0) << "a link object is temporary";
  EXPECT_TRUE(sim::isAlive(app)) << "the application object lives as long as the process";
}

TEST_F(AlertsAndLinks, BootForgetsLinksAndAlerts) {
  host::Id alert = host::alertCreate("T", nullptr, &delegate_, "OK", {});
  host::alertShow(alert);
  host::release(alert);
  host::applicationOpenURL(host::applicationShared(), host::urlWithString("prefs:root=X"));
  sim::boot(testing_support::bareBoot(root_));
  EXPECT_TRUE(sim::alertsOnScreen().empty());
  EXPECT_TRUE(sim::openedLinks().empty());
  EXPECT_TRUE(delegate_.taps.empty());
}

}  // namespace
