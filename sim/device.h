// The simulated device's control API: boots a host process on a device root,
// drives its main run loop, injects faults and maps device paths. The
// deliverables cannot reach this header; tests and the simulator use it as a
// user and the operating system would.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "host/releases.h"
#include "sim/offers.h"

namespace sim {

// The default host's CoreFoundation version (sim/offers.h names the
// release).
inline constexpr double kCurrentVersion = host::coreFoundationOf(kDefaultRelease);

struct BootOptions {
  // The device root folder. It is created when missing.
  std::string root;
  // The host process: "SpringBoard" runs the home screen; any other name is
  // an ordinary application.
  std::string process = "SpringBoard";
  double coreFoundationVersion = kCurrentVersion;
  // Classes of the release the process lacks ("SBAwayController",
  // "SBWorkspace", ...): the frameworks do not make them.
  std::set<std::string> missingClasses;
  // UIScreen mainScreen yields none.
  bool noMainScreen = false;
  // The event framework is absent: activatorShared yields none.
  bool noActivator = false;
  // Newer hosts: create the workspace at start (after the loader has run).
  bool workspaceAtStart = true;
  // Older hosts: display stacks created at start (the second holds the front
  // application).
  int displayStacksAtStart = 4;
  // Observer registrations with the notification centre fail.
  bool failObserverRegistration = false;
  // Load extension libraries and switch bundles found in the root.
  bool loadModules = true;
  // Runs once the release's classes are made, before the loader: a test
  // stands in its own method implementations here (the runtime's
  // class_replaceMethod), which the loaded libraries then find as the
  // host's originals.
  std::function<void()> beforeLoader;
};

// The bundle identifier of a host process name.
std::string bundleIdentifierFor(const std::string& process);

// Boots the host process: makes the release's classes, methods and
// functions, runs the loader (which runs each loaded library's
// initialiser), lets the host create its start-up objects, and loads the
// switch bundles. Once per process, as on a device: classes and libraries,
// once in a process, stay (a second call stops the process with a message).
void boot(const BootOptions& options);
// Ends the host process: takes alerts down, lets go of the switches, the
// listeners and the host's objects, and leaves the device's notifications.
void shutdown();
bool booted();
const BootOptions& bootOptions();
// Why the booted process could not join the device's notifications (the
// folder for them is not a folder, or not writable): posts of other
// processes on the root then never arrive here. Empty when it could.
const std::string& notificationProblem();

// Every operation of the offer table the booted process has, as its
// runtime answers (the class and method, or the exported function), in
// Objective-C notation: "+[Class selector]", then "-[Class selector]", then
// "Function()"; each group sorted.
std::vector<std::string> offeredOperations();

// Copies the device template (the installed deliverables) into `root`.
// Returns false with a message when the template cannot be found or copied.
bool populateRoot(const std::string& root, const std::string& templateDir, std::string* error);

// The next read / replacement of the file at `devicePath` (a preferences
// read or change of host.h, or the pane's) fails as an I/O error would.
void failNextRead(const std::string& devicePath);
void failNextWrite(const std::string& devicePath);

// Runs the main run loop once: delivers every notification that has arrived,
// coalesced, then drains the turn's autorelease pool. Returns how many
// observer callbacks ran.
int runLoopOnce();
// Runs the main run loop until a notification named `name` has been
// delivered or `timeoutMs` has passed. True when one was delivered.
bool runLoopUntilNotification(const std::string& name, int timeoutMs);
// Runs the main run loop for `ms` milliseconds.
void runLoopFor(int ms);
// Number of times this process has posted `name` since boot.
int postCount(const std::string& name);

}  // namespace sim
