#include "sim/device.h"

#include <poll.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include "sim/boot_steps.h"
#include "sim/device_files.h"
#include "sim/generations.h"
#include "sim/journal.h"
#include "sim/notify.h"
#include "sim/runtime.h"

namespace fs = std::filesystem;

namespace sim {
namespace {

struct DeviceState {
  bool booted = false;
  BootOptions options;
  std::string notificationProblem;
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

}  // namespace

std::string bundleIdentifierFor(const std::string& process) {
  if (process == "SpringBoard") return "com.apple.springboard";
  if (process == "Preferences") return "com.apple.Preferences";
  return "com.apple." + process;
}

void boot(const BootOptions& options) {
  shutdown();
  auto& d = device();
  d.options = options;
  std::error_code ignored;
  fs::create_directories(options.root, ignored);
  d.booted = true;
  for (const char* folder : kDeviceFolders) makeDeviceFolder(folder);
  clearJournal();
  resetRuntime({options.missingClasses.begin(), options.missingClasses.end()});
  d.notificationProblem = notifyStart(options.root, options.failObserverRegistration);
  offerGeneration(options);
  springBoardDefine(options);
  uikitDefine(options);
  alertsReset(options);
  activatorDefine(options);
  if (options.beforeLoader) options.beforeLoader();
  if (options.loadModules) loaderRun(options);
  springBoardStart(options);
  if (options.loadModules) toggleLoad(options);
  drainRunLoopPool();
}

void shutdown() {
  auto& d = device();
  if (!d.booted) return;
  toggleUnload();
  notifyStop();
  clearFileFaults();
  // Objects first (their dealloc may run module code), then the modules.
  resetRuntime({});
  loaderUnload();
  d.booted = false;
}

bool booted() { return device().booted; }

const BootOptions& bootOptions() { return device().options; }

const std::string& notificationProblem() { return device().notificationProblem; }

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

int runLoopOnce() {
  int calls = notifyDeliver();
  drainRunLoopPool();
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

double host::coreFoundationVersion() { return sim::bootOptions().coreFoundationVersion; }
