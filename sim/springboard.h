// Control of the simulated SpringBoard: applications, the front display,
// the lock screen, and the host objects the front-application hooks watch.
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

// Older hosts: creates a display stack through `init` and returns what
// `init` returned; destroys one through `dealloc`.
host::Id createDisplayStack();
void destroyDisplayStack(host::Id stack);
std::vector<host::Id> displayStacks();
// Newer hosts: creates a workspace through `init` (it becomes SpringBoard's
// workspace) and returns what `init` returned; SpringBoard lets go of one
// (a release), or tears it down whatever its count (`dealloc`).
host::Id createWorkspace();
void releaseWorkspace(host::Id workspace);
void destroyWorkspace(host::Id workspace);
host::Id currentWorkspace();

}  // namespace sim
