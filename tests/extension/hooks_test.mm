// The replaced host methods always run the host's own implementations, and
// a class the host lacks leaves only its own hook out.
#import <Foundation/Foundation.h>
#include <objc/runtime.h>

#include "tests/extension/springboard_fixture.h"

namespace extension_test {
namespace {

constexpr double kIOS7 = host::coreFoundationOf("7.0");

// Stand-ins for a host class's own `init` and `dealloc`, put in place before
// the loader runs so that the extension's hooks save them.
struct HostOriginals {
  enum class InitResult { Self, Failed, Existing };
  InitResult result = InitResult::Self;
  id existing = nil;
  int inits = 0;
  int deallocs = 0;
  IMP rootDealloc = nullptr;
};
HostOriginals gHost;

// Typed as the extension calls the implementations it saved.
host::Id hostInit(host::Id object, host::Sel) {
  id self = reinterpret_cast<id>(object);
  ++gHost.inits;
  switch (gHost.result) {
    case HostOriginals::InitResult::Self:
      return object;
    case HostOriginals::InitResult::Failed:  // init failed: [self release]; return nil;
      [self release];
      return nullptr;
    case HostOriginals::InitResult::Existing:  // a shared instance instead
      [self release];
      return reinterpret_cast<host::Id>([gHost.existing retain]);
  }
  return object;
}

void hostDealloc(host::Id self, host::Sel cmd) {
  ++gHost.deallocs;
  reinterpret_cast<void (*)(id, SEL)>(gHost.rootDealloc)(reinterpret_cast<id>(self),
                                                          reinterpret_cast<SEL>(const_cast<host::Selector*>(cmd)));
}

void standInOriginals(const char* className) {
  gHost = HostOriginals{};
  Class cls = objc_getClass(className);
  gHost.rootDealloc = class_getMethodImplementation(cls, sel_registerName("dealloc"));
  class_replaceMethod(cls, sel_registerName("init"), reinterpret_cast<IMP>(&hostInit), "@@:");
  class_replaceMethod(cls, sel_registerName("dealloc"), reinterpret_cast<IMP>(&hostDealloc), "v@:");
}

class SavedImplementations : public SpringBoardTest {};

TEST_F(SavedImplementations, WorkspaceInitAndDeallocRunTheHostsOwnAndInitReturnsItsResult) {
  writeSettings({{disableKey(kAppA), true}});
  sim::BootOptions o = options(kIOS7);
  o.beforeLoader = [] { standInOriginals("SBWorkspace"); };
  sim::boot(o);
  EXPECT_EQ(gHost.inits, 1) << "the workspace SpringBoard creates at start";
  id first = reinterpret_cast<id>(sim::currentWorkspace());
  ASSERT_NE(first, nil);

  gHost.result = HostOriginals::InitResult::Failed;
  EXPECT_EQ(sim::createWorkspace(), nullptr);
  EXPECT_EQ(gHost.inits, 2);
  EXPECT_EQ(gHost.deallocs, 1);
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5))) << "a failed init leaves the earlier workspace in use";

  gHost.result = HostOriginals::InitResult::Existing;
  gHost.existing = first;
  EXPECT_EQ(reinterpret_cast<id>(sim::createWorkspace()), first);
  EXPECT_EQ(gHost.deallocs, 2);
  // SpringBoard gives back both its references; the extension's keeps the
  // workspace alive (a use after free here fails under ASan).
  sim::releaseWorkspace(reinterpret_cast<host::Id>(first));
  sim::releaseWorkspace(reinterpret_cast<host::Id>(first));
  EXPECT_EQ(gHost.deallocs, 2);
  sim::launchApplication(kAppB);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  sim::launchApplication(kAppA);
  sim::destroyWorkspace(reinterpret_cast<host::Id>(first));
  EXPECT_EQ(gHost.deallocs, 3);
  sim::goHome();
  EXPECT_TRUE(ignored(upFrom(0.5))) << "A is still remembered, and its key read again";
}

TEST_F(SavedImplementations, DisplayStackInitAndDeallocRunTheHostsOwnAndInitReturnsItsResult) {
  sim::BootOptions o = options(host::coreFoundationOf("5.0"));
  o.displayStacksAtStart = 0;
  o.beforeLoader = [] { standInOriginals("SBDisplayStack"); };
  sim::boot(o);
  gHost.result = HostOriginals::InitResult::Failed;
  EXPECT_EQ(sim::createDisplayStack(), nullptr);
  EXPECT_EQ(gHost.inits, 1);
  EXPECT_EQ(gHost.deallocs, 1);
  gHost.result = HostOriginals::InitResult::Self;
  host::Id stack = sim::createDisplayStack();
  EXPECT_NE(stack, nullptr);
  EXPECT_EQ(gHost.inits, 2);
  sim::destroyDisplayStack(stack);
  EXPECT_EQ(gHost.deallocs, 2);
}

class MissingClasses : public SpringBoardTest {
 protected:
  void bootWithout(const std::string& className, double version = kIOS7) {
    sim::BootOptions o = options(version);
    o.missingClasses = {className};
    sim::boot(o);
  }
};

TEST_F(MissingClasses, WithoutTheLockScreenTheDeviceAlwaysCountsAsUnlocked) {
  writeSettings({{disableKey(kAppA), true}});
  bootWithout("SBAwayController", host::kWorkspaceVersion);
  sim::setLocked(true);
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5)));
}

TEST_F(MissingClasses, WithoutTheWorkspaceClassTheOtherHookStillRuns) {
  writeSettings({{settings::kDisableSpringBoardKey, true}});
  bootWithout("SBWorkspace");
  EXPECT_EQ(hookDetails(), std::vector<std::string>{"SpringBoard frontDisplayDidChange:"});
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5))) << "no workspace is known: no application in front";
  EXPECT_EQ(sim::frontDisplayHandlerRuns(), 1);
}

TEST_F(MissingClasses, WithoutTheDisplayStackClassTheOtherHookStillRuns) {
  writeSettings({{settings::kDisableSpringBoardKey, true}});
  bootWithout("SBDisplayStack", host::coreFoundationOf("5.0"));
  EXPECT_EQ(hookDetails(), std::vector<std::string>{"SpringBoard frontDisplayDidChange"});
  sim::launchApplication(kAppA);
  EXPECT_TRUE(ignored(upFrom(0.5)));
}

TEST_F(MissingClasses, WithoutSpringBoardTheFrontApplicationIsNotFollowed) {
  writeSettings({{disableKey(kAppA), true}});
  bootWithout("SpringBoard");
  EXPECT_EQ(hookDetails(), (std::vector<std::string>{"SBWorkspace init", "SBWorkspace dealloc"}));
  sim::launchApplication(kAppA);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_F(MissingClasses, FromIOS8NothingIsReplacedWithoutSpringBoard) {
  bootWithout("SpringBoard", host::kFrontMostVersion);
  EXPECT_TRUE(hookDetails().empty());
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_F(MissingClasses, WithoutTheKeyboardClassTheKeyboardCountsAsHidden) {
  writeSettings({{settings::kDisableKeyboardKey, true}});
  bootWithout("UIKeyboard");
  sim::setKeyboardOnScreen(true);
  EXPECT_TRUE(stepped(upFrom(0.5), 0.55f));
}

TEST_F(MissingClasses, WithoutTheEventFrameworkTheRestStillStarts) {
  writeSettings({{disableKey(kAppA), true}});
  sim::BootOptions o = options(kIOS7);
  o.noActivator = true;
  sim::boot(o);
  EXPECT_TRUE(sim::registeredListenerNames().empty());
  EXPECT_FALSE(up().delivered);
  EXPECT_EQ(sim::journalCount("CFNotificationCenterAddObserver()"), 2) << "the extension's and the switch's";
  EXPECT_EQ(hookDetails().size(), 3u);
  sim::launchApplication(kAppA);
  EXPECT_GE(sim::journalIndexOf("-[BKSWorkspace topApplication]", kAppA), 0);
}

}  // namespace
}  // namespace extension_test
