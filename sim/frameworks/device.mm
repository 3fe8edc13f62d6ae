// Booting and ending a simulated process, its main run loop, and what the
// booted release offers.
#import <Foundation/Foundation.h>

#include <dlfcn.h>
#include <objc/runtime.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "sim/device.h"
#include "sim/device_files.h"
#include "sim/frameworks/boot_steps.h"
#include "sim/frameworks/foundation_files.h"
#include "sim/frameworks/platform.h"
#include "sim/journal.h"
#include "sim/notify.h"
#include "sim/offers.h"

namespace fs = std::filesystem;

namespace sim {
namespace {

struct DeviceState {
  bool booted = false;
  bool everBooted = false;
  BootOptions options;
  std::string notificationProblem;
  NSAutoreleasePool* pool = nil;
};

DeviceState& device() {
  static auto* state = new DeviceState;
  return *state;
}

// Folders every device has, which the deliverables write into.
const char* const kDeviceFolders[] = {
    "/var/mobile/Library/Preferences",
    "/Library/MobileSubstrate/DynamicLibraries",
    "/Library/Switches",
};

bool isSpringBoard(const BootOptions& options) { return bundleIdentifierFor(options.process) == "com.apple.springboard"; }

// The host process starts its objects: SpringBoard its shared application
// and the objects that name the front application; any other process its
// shared application.
void startProcess(const BootOptions& options) {
  if (!isSpringBoard(options)) return standin::startApplication();
  standin::startSpringBoard();
  standin::createFrontApplicationObjects(options.displayStacksAtStart, options.workspaceAtStart);
}

}  // namespace

std::string bundleIdentifierFor(const std::string& process) {
  if (process == "SpringBoard") return "com.apple.springboard";
  if (process == "Preferences") return "com.apple.Preferences";
  return "com.apple." + process;
}

void boot(const BootOptions& options) {
  auto& d = device();
  if (d.everBooted) {
    // Classes and loaded libraries cannot be taken out of a process again:
    // a second device is a second process.
    std::fprintf(stderr, "the simulated device boots once per process\n");
    std::abort();
  }
  d.everBooted = true;
  d.booted = true;
  d.options = options;
  d.pool = [[NSAutoreleasePool alloc] init];
  std::error_code ignored;
  fs::create_directories(options.root, ignored);
  setDeviceRoot(options.root);
  for (const char* folder : kDeviceFolders) makeDeviceFolder(folder);
  clearJournal();
  d.notificationProblem = notifyStart(options.root, options.failObserverRegistration);
  standin::makeGeneration(options.coreFoundationVersion, isSpringBoard(options), options.missingClasses);
  standin::installFoundationFileMethods();
  standin::setMainScreenPresent(!options.noMainScreen);
  standin::setActivatorPresent(!options.noActivator);
  if (options.beforeLoader) options.beforeLoader();
  if (options.loadModules) standin::loadLibraries(bundleIdentifierFor(options.process));
  startProcess(options);
  if (options.loadModules) standin::loadSwitches();
  runLoopDrain();
}

void shutdown() {
  auto& d = device();
  if (!d.booted) return;
  // Alerts on screen may have a switch as their delegate.
  standin::takeAlertsDown();
  standin::unloadSwitches();
  standin::forgetListeners();
  standin::destroyFrontApplicationObjects();
  notifyStop();
  clearFileFaults();
  [d.pool drain];
  d.pool = nil;
  d.booted = false;
}

bool booted() { return device().booted; }

const BootOptions& bootOptions() { return device().options; }

const std::string& notificationProblem() { return device().notificationProblem; }

std::vector<std::string> offeredOperations() {
  // Asked of the runtime itself, so that the listing shows what the process
  // has, whatever made it.
  std::vector<std::string> classMethods, methods, functions;
  for (const Offer& offer : offers()) {
    Class cls = offer.owner ? objc_getClass(offer.owner) : Nil;
    SEL selector = sel_registerName(offer.name);
    switch (offer.kind) {
      case OfferKind::kClassMethod:
        if (cls && class_getClassMethod(cls, selector) && !standin::withheld(object_getClass(cls), selector))
          classMethods.push_back(operationName(offer));
        break;
      case OfferKind::kMethod:
        if (cls && class_getInstanceMethod(cls, selector) && !standin::withheld(cls, selector))
          methods.push_back(operationName(offer));
        break;
      case OfferKind::kFunction:
        if (dlsym(RTLD_DEFAULT, offer.name)) functions.push_back(operationName(offer));
        break;
      case OfferKind::kFramework:
        break;
    }
  }
  std::vector<std::string> all;
  for (auto* group : {&classMethods, &methods, &functions}) {
    std::sort(group->begin(), group->end());
    group->erase(std::unique(group->begin(), group->end()), group->end());
    all.insert(all.end(), group->begin(), group->end());
  }
  return all;
}

bool populateRoot(const std::string& root, const std::string& templateDir, std::string* error) {
  std::error_code ec;
  if (!fs::is_directory(templateDir, ec)) {
    if (error) *error = "no device template at " + templateDir;
    return false;
  }
  fs::create_directories(root, ec);
  if (ec) {
    if (error) *error = "cannot create " + root + ": " + ec.message();
    return false;
  }
  fs::copy(templateDir, root, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (ec) {
    if (error) *error = "cannot copy " + templateDir + " to " + root + ": " + ec.message();
    return false;
  }
  return true;
}

void runLoopDrain() {
  auto& d = device();
  if (!d.pool) return;
  [d.pool drain];
  d.pool = [[NSAutoreleasePool alloc] init];
}

int runLoopOnce() {
  int calls = notifyDeliver();
  runLoopDrain();
  return calls;
}

bool runLoopUntilNotification(const std::string& name, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const int before = notifyArrivals(name);
  for (;;) {
    runLoopOnce();
    if (notifyArrivals(name) > before) return true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{notifyFd(), POLLIN, 0};
    poll(&p, p.fd >= 0 ? 1 : 0, static_cast<int>(left));
  }
}

void runLoopFor(int ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    runLoopOnce();
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return;
    pollfd p{notifyFd(), POLLIN, 0};
    poll(&p, p.fd >= 0 ? 1 : 0, static_cast<int>(left));
  }
}

}  // namespace sim
