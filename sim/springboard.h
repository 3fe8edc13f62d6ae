// Control of the simulated SpringBoard: applications, the front display,
// the lock screen, and the host objects the front-application hooks watch.
//
// Only the SpringBoard process (bundle com.apple.springboard) has the
// SpringBoard classes. The host generation (sim/offers.h) follows the
// release: before iOS 6.0 display stacks, then a workspace (SBMainWorkspace
// from iOS 9); before iOS 7.0 SpringBoard's `frontDisplayDidChange`, from it
// `frontDisplayDidChange:` with the front application (or null); the lock
// screen's SBAwayController before iOS 7.0, SBLockScreenManager from it. A
// process starts on the home screen, unlocked, without a front display
// change.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

namespace sim {

// Application `identifier` comes to the front (a front display change).
void launchApplication(const std::string& identifier);
// The home screen shows: no application in front (a front display change).
void goHome();
// A front display change with the front application as it is.
void frontDisplayChanged();
// The application in front, or none on the home screen.
std::optional<std::string> frontApplication();
// Locks or unlocks the device; either is followed by a front display change.
void setLocked(bool locked);
bool locked();

// SpringBoard's own front display handler (the implementation a replacement
// saves): how many times it has run since boot, and the identifier of the
// application the one-argument form last received (none for null, and
// always none where the handler takes no argument).
int frontDisplayHandlerRuns();
std::optional<std::string> frontDisplayHandlerArgument();

// Older hosts: creates a display stack through `init` and returns what
// `init` returned; destroys one through `dealloc`.
host::Id createDisplayStack();
void destroyDisplayStack(host::Id stack);
std::vector<host::Id> displayStacks();
// Newer hosts: creates a workspace (SBWorkspace, or SBMainWorkspace from
// iOS 9) through `init` (it becomes SpringBoard's
// workspace) and returns what `init` returned; SpringBoard lets go of one
// (a release), or tears it down whatever its count (`dealloc`).
host::Id createWorkspace();
void releaseWorkspace(host::Id workspace);
void destroyWorkspace(host::Id workspace);
host::Id currentWorkspace();

}  // namespace sim
