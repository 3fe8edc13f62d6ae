// The steps of booting and ending a simulated host process, each provided by
// the part of the simulator that models that piece of the platform.
#pragma once

#include "sim/device.h"

namespace sim {

// Forgets the model's state and defines its host classes; runs before the
// loader, so that the loaded libraries find the classes.
void springBoardDefine(const BootOptions& options);
void uikitDefine(const BootOptions& options);
// Clears the alerts on screen and the links opened.
void alertsReset(const BootOptions& options);
void activatorDefine(const BootOptions& options);
// SpringBoard creates its start-up objects; runs after the loader.
void springBoardStart(const BootOptions& options);
// The loader: loads every library in Library/MobileSubstrate/DynamicLibraries
// whose filter names this process's bundle, running its initialiser.
void loaderRun(const BootOptions& options);
// The toggle framework loads every bundle in Library/Switches.
void toggleLoad(const BootOptions& options);
// Drops every loaded module's state; the modules are unloaded afterwards.
void toggleUnload();
// Unloads every library the loader loaded.
void loaderUnload();
// Clears pending file faults.
void clearFileFaults();

}  // namespace sim
