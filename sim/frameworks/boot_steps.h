// The steps of booting and ending a simulated process, each provided by the
// framework that does it.
#pragma once

#include <string>

namespace standin {

// The hooking loader: loads every library in
// Library/MobileSubstrate/DynamicLibraries whose filter names the process's
// bundle, running its initialisers.
void loadLibraries(const std::string& bundle);
// The toggle framework loads every bundle in Library/Switches.
void loadSwitches();
// The switches' data sources go with the process.
void unloadSwitches();

}  // namespace standin

namespace sim {

// Drains the run loop's autorelease pool, as the end of a turn does.
void runLoopDrain();

}  // namespace sim
