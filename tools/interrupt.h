// Ctrl-C and termination requests: noted by a signal handler and acted on
// where the program can stop cleanly (between commands and inside waits),
// so that a temporary device root is still removed.
#pragma once

namespace tools {

// Catches SIGINT, SIGTERM and SIGHUP without restarting interrupted calls.
void installInterruptHandlers();
// The signal caught since the last clearInterrupt, or 0.
int interruptSignal();
void clearInterrupt();

}  // namespace tools
