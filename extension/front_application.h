// Tracking the application in front by replacing three of the host's own
// methods, chosen by the host's CoreFoundation version.
#pragma once

// Replaces `init` then `dealloc` of SBDisplayStack (hosts below
// CoreFoundation 793.0) or SBWorkspace (at or above it), then SpringBoard's
// `frontDisplayDidChange` (below 847.2) or `frontDisplayDidChange:` (at or
// above it). A class the host lacks is left alone.
void installFrontApplicationHooks();

// Run after each front display change: unless the device is locked, finds
// the application in front and refreshes frontAppIdentifier,
// springBoardBlocked and appDisabled.
void updateFrontApplication();
