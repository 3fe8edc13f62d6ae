// A SpringBoard process on the stand-ins with the real deliverables loaded,
// as the device boots one: the loader loads Lumivo2 (running its
// initialiser), SpringBoard creates its objects, and the toggle framework
// loads the switch bundle when asked. One per test process: ctest runs each
// test in a process of its own.
#pragma once

#import <Foundation/Foundation.h>

#include <string>

#include "sim/frameworks/platform.h"

namespace hostprocess {

// Boots SpringBoard of the host generation at `version` (a release's, as
// host::coreFoundationOf("5.0")) on a fresh device root; false (with the
// reason added to the running test's failures) when the extension cannot be
// loaded.
bool bootSpringBoard(double version);
// The toggle framework loads the switch bundle and makes its data source
// (owned by the caller), or nil.
id loadSwitch();

// The device root of the booted process.
const std::string& deviceRoot();
// Writes a settings dictionary to the file at a device path, in XML.
void writeDeviceFile(const char* devicePath, NSDictionary* values);

}  // namespace hostprocess
