// The simulated runtime: method tables, replacement with the loader's
// semantics, counted objects destroyed through their own dealloc.
#include <gtest/gtest.h>

#include "host/host.h"
#include "sim/journal.h"
#include "sim/runtime.h"
#include "tests/support/temp_root.h"

namespace {

using host::Id;
using host::Imp;
using host::Sel;

struct Thing : host::Object {
  using Object::Object;
};

int gOriginalInits = 0;
int gDeallocs = 0;
Imp gSavedInit = nullptr;
Imp gSavedDealloc = nullptr;
Id gInitResultOverride = nullptr;

Id originalInit(Id self, Sel) {
  ++gOriginalInits;
  return gInitResultOverride ? gInitResultOverride : self;
}

Id replacementInit(Id self, Sel cmd) {
  Id result = reinterpret_cast<sim::InitImp>(gSavedInit)(self, cmd);
  return result;
}

void replacementDealloc(Id self, Sel cmd) {
  ++gDeallocs;
  reinterpret_cast<sim::VoidImp>(gSavedDealloc)(self, cmd);
}

class Runtime : public ::testing::Test {
 protected:
  void SetUp() override {
    auto options = testing_support::bareBoot(root_);
    options.missingClasses = {"Hidden"};
    sim::boot(options);
    gOriginalInits = gDeallocs = 0;
    gSavedInit = gSavedDealloc = nullptr;
    gInitResultOverride = nullptr;
  }
  void TearDown() override { sim::shutdown(); }
  testing_support::TempRoot root_;
};

TEST_F(Runtime, NullClassInstallsNothingAndLeavesSavedUnset) {
  sim::defineClass("Hidden");
  EXPECT_EQ(host::getClass("Hidden"), nullptr);
  EXPECT_EQ(host::getClass("Nowhere"), nullptr);
  Imp saved = reinterpret_cast<Imp>(&originalInit);
  host::hookMessage(host::getClass("Hidden"), host::selectorNamed("init"), reinterpret_cast<Imp>(&replacementInit),
                    &saved);
  EXPECT_EQ(saved, reinterpret_cast<Imp>(&originalInit));
  EXPECT_EQ(sim::journalCount("hookMessage"), 1);
}

TEST_F(Runtime, ReplacementRunsAndSavedImplementationRunsTheOriginal) {
  host::Class* cls = sim::defineClass("Thing");
  sim::setMethod(cls, "init", reinterpret_cast<Imp>(&originalInit));
  host::hookMessage(host::getClass("Thing"), host::selectorNamed("init"), reinterpret_cast<Imp>(&replacementInit),
                    &gSavedInit);
  host::hookMessage(host::getClass("Thing"), host::selectorNamed("dealloc"),
                    reinterpret_cast<Imp>(&replacementDealloc), &gSavedDealloc);
  EXPECT_EQ(gSavedInit, reinterpret_cast<Imp>(&originalInit));

  Id thing = sim::allocInit<Thing>(cls);
  EXPECT_EQ(gOriginalInits, 1);
  EXPECT_EQ(sim::liveObjectCount("Thing"), 1);
  host::retain(thing);
  host::release(thing);
  EXPECT_EQ(gDeallocs, 0);
  host::release(thing);
  EXPECT_EQ(gDeallocs, 1);
  EXPECT_EQ(sim::liveObjectCount("Thing"), 0);
  host::release(thing);  // a stale reference is ignored, not freed twice
  EXPECT_EQ(gDeallocs, 1);
}

TEST_F(Runtime, QueriesOnNullYieldNothing) {
  host::retain(nullptr);
  host::release(nullptr);
  EXPECT_EQ(host::workspaceBKSWorkspace(nullptr), nullptr);
  EXPECT_EQ(host::bksWorkspaceTopApplication(nullptr), std::nullopt);
  EXPECT_EQ(host::displayStackTopApplication(nullptr), nullptr);
  EXPECT_EQ(host::applicationDisplayIdentifier(nullptr), std::nullopt);
  EXPECT_FALSE(host::awayControllerIsLocked(nullptr));
  EXPECT_FALSE(host::lockScreenManagerIsUILocked(nullptr));
  EXPECT_EQ(host::springBoardFrontMostApplication(nullptr), nullptr);
  EXPECT_EQ(host::applicationBundleIdentifier(nullptr), std::nullopt);
  EXPECT_EQ(host::screenBrightness(nullptr), 0);
  host::eventSetHandled(nullptr, true);
  host::alertShow(nullptr);
  host::alertControllerPresent(nullptr);
  host::applicationOpenURL(nullptr, nullptr);
  host::activatorRegisterListener(nullptr, nullptr, nullptr);
}

TEST_F(Runtime, AutoreleasePoolDrainFreesItsObjectsOnly) {
  host::Class* cls = sim::defineClass("Thing");
  Id outer = sim::autorelease(sim::allocInit<Thing>(cls));
  host::AutoreleasePool* pool = host::autoreleasePoolPush();
  sim::autorelease(sim::allocInit<Thing>(cls));
  sim::autorelease(sim::allocInit<Thing>(cls));
  EXPECT_EQ(sim::liveObjectCount("Thing"), 3);
  host::autoreleasePoolDrain(pool);
  EXPECT_EQ(sim::liveObjectCount("Thing"), 1);
  EXPECT_TRUE(sim::isAlive(outer));
  sim::drainRunLoopPool();
  EXPECT_EQ(sim::liveObjectCount("Thing"), 0);
}

}  // namespace
