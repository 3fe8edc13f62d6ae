// The simulated Darwin notification service, internal to the simulator.
// Each booted process owns a named pipe under the device root; a post writes
// the name into every live pipe there, this process's own included, and the
// main run loop reads its pipe and calls the observers. No daemon runs.
#pragma once

#include <string>

namespace sim {

// Opens this process's pipe under `root`. Observers registered before boot
// are kept only if `keepObservers`.
void notifyStart(const std::string& root, bool failRegistrations);
// Closes and removes this process's pipe and forgets every observer.
void notifyStop();
// The pipe's descriptor to wait on, or -1.
int notifyFd();
// Reads what has arrived and calls the observers, each name once however
// often it was posted since the last turn. Returns the callbacks made.
int notifyDeliver();
// Times `name` has arrived at this process since boot.
int notifyArrivals(const std::string& name);

}  // namespace sim
