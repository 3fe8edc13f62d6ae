// Tracking the application in front by replacing three of the host's own
// methods, chosen by the host's CoreFoundation version.
#pragma once

// Replaces `init` then `dealloc` of SBDisplayStack (hosts below
// host::kWorkspaceVersion) or SBWorkspace (at or above it), then
// SpringBoard's `frontDisplayDidChange` (below
// host::kFrontDisplayArgumentVersion) or `frontDisplayDidChange:` (at or
// above it). A class the host lacks is left alone. From
// host::kFrontMostVersion, where SpringBoard names the front application
// itself, only `frontDisplayDidChange:` is replaced, where the host has it.
void installFrontApplicationHooks();

// Run after each front display change: unless the device is locked
// (SBAwayController, or SBLockScreenManager on hosts without it), finds the
// application in front (from host::kFrontMostVersion SpringBoard's
// front-most application's bundle identifier) and refreshes
// frontAppIdentifier, springBoardBlocked and appDisabled.
void updateFrontApplication();
