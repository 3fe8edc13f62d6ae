// The simulated Darwin notification service, internal to the simulator.
// Each booted process owns a named pipe under the device root; a post writes
// the name into every live pipe there, this process's own included (never
// into anything else found there, such as a link or a plain file), and the
// main run loop reads its pipe and calls the observers. No daemon runs.
#pragma once

#include <cstddef>
#include <string>

namespace sim {

// Opens this process's pipe in `<root>/.sim/notify`, first removing the
// pipes of processes that have ended. With `failRegistrations`, observer
// registrations fail. Returns why the pipe could not be made (the folder is
// not a folder, or not writable), empty when it was: without it, posts of
// other processes never arrive here.
std::string notifyStart(const std::string& root, bool failRegistrations);
// Closes and removes this process's pipe and forgets every observer.
void notifyStop();
// The pipe's descriptor to wait on, or -1.
int notifyFd();
// Reads what has arrived and calls the observers, each name once however
// often it was posted since the last turn. Returns the callbacks made. Reads
// at most 1 MiB a turn; a line longer than a post can be (4096 bytes) is
// dropped up to its newline, so the unread line kept between turns stays
// within that bound.
int notifyDeliver();
// The bytes of the unfinished line kept for the next turn.
std::size_t notifyBuffered();
// Times `name` has arrived at this process since boot.
int notifyArrivals(const std::string& name);

// Called on the main thread with the observer it was registered with and
// the name that arrived.
using NotifyCallback = void (*)(const void* observer, const std::string& name);
// Registers an observer of `name`; does nothing when registrations fail
// (notifyStart's `failRegistrations`).
void notifyAddObserver(const void* observer, NotifyCallback callback, const std::string& name);
// Posts `name` to every process on the root, this one included.
void notifyPostName(const std::string& name);

}  // namespace sim
