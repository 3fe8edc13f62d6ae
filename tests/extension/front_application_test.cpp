// Front application tracking on both host generations: which host methods
// are replaced at each CoreFoundation version, and how the per-application
// and home-screen settings follow the application in front.
#include <algorithm>

#include "tests/extension/springboard_fixture.h"

namespace extension_test {
namespace {

struct Generation {
  double version;
  const char* holder;       // the class whose init and dealloc are replaced, if any
  const char* frontChange;  // SpringBoard's replaced front display handler
};

void PrintTo(const Generation& g, std::ostream* out) { *out << "CoreFoundation " << g.version; }

class FrontTracking : public SpringBoardTest, public ::testing::WithParamInterface<Generation> {
 protected:
  void bootGeneration() { boot(GetParam().version); }
  bool argumentForm() const { return std::string(GetParam().frontChange).back() == ':'; }
};

TEST_P(FrontTracking, ReplacesInitThenDeallocThenTheFrontDisplayHandler) {
  bootGeneration();
  std::vector<std::string> expected;
  if (const std::string holder = GetParam().holder ? GetParam().holder : ""; !holder.empty())
    expected = {holder + " init", holder + " dealloc"};
  expected.push_back(std::string("SpringBoard ") + GetParam().frontChange);
  EXPECT_EQ(hookDetails(), expected);
}

TEST_P(FrontTracking, PerApplicationKeyFollowsEachApplicationInTurn) {
  writeSettings({{disableKey(kAppB), true}});
  bootGeneration();
  sim::launchApplication(kAppA);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  sim::launchApplication(kAppB);
  EXPECT_TRUE(ignored(upFrom(0.5)));
  sim::launchApplication(kAppC);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  // C is the application remembered now: its key, set without telling the
  // extension, is read at the next front display change.
  writeSettings({{disableKey(kAppC), true}});
  sim::goHome();
  EXPECT_TRUE(ignored(upFrom(0.5)));
}

TEST_P(FrontTracking, HomeScreenKeepsTheLastApplicationAndRereadsItsKey) {
  writeSettings({{disableKey(kAppA), true}});
  bootGeneration();
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5)));
  sim::goHome();
  EXPECT_TRUE(ignored(upFrom(0.5))) << "A is still the application remembered";
  writeSettings({});
  sim::frontDisplayChanged();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_P(FrontTracking, EveryUnlockedFrontDisplayChangeRereadsTheSettingsOnceAnApplicationIsKnown) {
  writeSettings({});
  bootGeneration();
  sim::goHome();
  EXPECT_EQ(settingsReads(GetParam().version), 1) << "only the start-up load";
  sim::launchApplication(kAppA);
  sim::launchApplication(kAppA);
  sim::goHome();
  EXPECT_EQ(settingsReads(GetParam().version), 4);
}

TEST_P(FrontTracking, HomeScreenSettingFollowsTheFrontDisplay) {
  writeSettings({{settings::kDisableSpringBoardKey, true}});
  bootGeneration();
  sim::launchApplication(kAppA);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  sim::goHome();
  EXPECT_TRUE(ignored(upFrom(0.5)));
  sim::launchApplication(kAppB);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_P(FrontTracking, HomeScreenSettingTakesEffectOnlyAtTheNextFrontDisplayChange) {
  bootGeneration();
  sim::goHome();
  changeSettings({{settings::kDisableSpringBoardKey, true}});
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f)) << "the home screen showed before the setting was made";
  sim::frontDisplayChanged();
  EXPECT_TRUE(ignored(upFrom(0.5)));
  changeSettings({});
  EXPECT_TRUE(ignored(upFrom(0.5))) << "still blocked until the front display changes";
  sim::frontDisplayChanged();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_P(FrontTracking, LockedDeviceChangesNothing) {
  writeSettings({{settings::kDisableSpringBoardKey, true}, {disableKey(kAppB), true}});
  bootGeneration();
  sim::launchApplication(kAppA);
  sim::setLocked(true);
  const int reads = settingsReads(GetParam().version);
  sim::goHome();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f)) << "the home screen is not seen while locked";
  sim::launchApplication(kAppB);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f)) << "B is not seen while locked";
  EXPECT_EQ(settingsReads(GetParam().version), reads);
  EXPECT_EQ(sim::journalCount("-[SBDisplayStack topApplication]") + sim::journalCount("-[SBWorkspace bksWorkspace]") +
                sim::journalCount("-[SpringBoard _accessibilityFrontMostApplication]"),
            1)
      << "only the change before the lock looked for the front application";
  sim::setLocked(false);
  EXPECT_TRUE(ignored(upFrom(0.5)));
}

TEST_P(FrontTracking, SettingsReloadsStillTakeEffectWhileLocked) {
  bootGeneration();
  sim::setLocked(true);
  changeSettings({{settings::kEnabledKey, false}});
  EXPECT_TRUE(ignored(upFrom(0.5)));
}

TEST_P(FrontTracking, SpringBoardsOwnHandlerRunsWithTheSameArgument) {
  bootGeneration();
  sim::launchApplication(kAppA);
  EXPECT_EQ(sim::frontDisplayHandlerRuns(), 1);
  EXPECT_EQ(sim::frontDisplayHandlerArgument(), argumentForm() ? std::optional<std::string>(kAppA) : std::nullopt);
  sim::goHome();
  EXPECT_EQ(sim::frontDisplayHandlerRuns(), 2);
  EXPECT_EQ(sim::frontDisplayHandlerArgument(), std::nullopt);
  sim::setLocked(true);
  sim::launchApplication(kAppB);
  EXPECT_EQ(sim::frontDisplayHandlerRuns(), 4);
  EXPECT_EQ(sim::frontDisplayHandlerArgument(), argumentForm() ? std::optional<std::string>(kAppB) : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, FrontTracking,
    ::testing::Values(Generation{host::coreFoundationOf("5.0"), "SBDisplayStack", "frontDisplayDidChange"},
                      Generation{host::kWorkspaceVersion - 0.01, "SBDisplayStack", "frontDisplayDidChange"},
                      Generation{host::kWorkspaceVersion, "SBWorkspace", "frontDisplayDidChange"},
                      Generation{host::kFrontDisplayArgumentVersion - 0.01, "SBWorkspace", "frontDisplayDidChange"},
                      Generation{host::kFrontDisplayArgumentVersion, "SBWorkspace", "frontDisplayDidChange:"},
                      Generation{host::kFrontMostVersion - 0.01, "SBWorkspace", "frontDisplayDidChange:"},
                      Generation{host::kFrontMostVersion, nullptr, "frontDisplayDidChange:"},
                      Generation{host::coreFoundationOf("14.0"), nullptr, "frontDisplayDidChange:"}),
    [](const auto& info) {
      std::string name = "CF" + std::to_string(info.param.version);
      std::replace(name.begin(), name.end(), '.', '_');
      return name;
    });

// Older hosts: the second display stack created names the front application.
class DisplayStacks : public SpringBoardTest {
 protected:
  void bootWithStacks(int stacks) {
    sim::BootOptions o = options(host::coreFoundationOf("5.0"));
    o.displayStacksAtStart = stacks;
    sim::boot(o);
  }
};

TEST_F(DisplayStacks, DestroyedStackLeavesTheList) {
  writeSettings({{settings::kDisableSpringBoardKey, true}});
  bootWithStacks(4);
  sim::launchApplication(kAppA);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  // With the first stack gone, the second one the extension knows is the
  // host's third, which holds no application.
  sim::destroyDisplayStack(sim::displayStacks().front());
  sim::frontDisplayChanged();
  EXPECT_TRUE(ignored(upFrom(0.5)));
}

TEST_F(DisplayStacks, FewerThanTwoStacksCountAsNoApplication) {
  writeSettings({{settings::kDisableSpringBoardKey, true}});
  bootWithStacks(1);
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5)));
  sim::createDisplayStack();
  sim::frontDisplayChanged();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

// iOS 6 and 7 hosts: the workspace SpringBoard created last names it.
class Workspaces : public SpringBoardTest {
 protected:
  sim::BootOptions options() const { return SpringBoardTest::options(host::coreFoundationOf("7.0")); }
  void boot() { sim::boot(options()); }
};

TEST_F(Workspaces, ChangeBeforeAnyWorkspaceCountsAsNoApplication) {
  writeSettings({{settings::kDisableSpringBoardKey, true}});
  sim::BootOptions o = options();
  o.workspaceAtStart = false;
  sim::boot(o);
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5)));
  sim::createWorkspace();
  sim::frontDisplayChanged();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_F(Workspaces, ExtensionKeepsItsWorkspaceAliveWhenSpringBoardLetsGo) {
  writeSettings({{disableKey(kAppA), true}});
  boot();
  host::Id workspace = sim::currentWorkspace();
  sim::releaseWorkspace(workspace);
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5)));
}

TEST_F(Workspaces, ReplacedWorkspaceIsGivenBackAndDestroyedWhenSpringBoardLetsGo) {
  writeSettings({{disableKey(kAppA), true}});
  boot();
  host::Id first = sim::currentWorkspace();
  sim::createWorkspace();
  sim::releaseWorkspace(first);
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5))) << "the new workspace names the front application";
}

TEST_F(Workspaces, DestroyedWorkspaceIsForgotten) {
  writeSettings({{settings::kDisableSpringBoardKey, true}});
  boot();
  sim::destroyWorkspace(sim::currentWorkspace());
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5))) << "no workspace: no application in front";
  sim::createWorkspace();
  sim::frontDisplayChanged();
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

}  // namespace
}  // namespace extension_test
