// Ctrl-C, termination requests and the other terminating signals: noted by a signal handler and acted on
// where the program can stop cleanly (between commands and inside waits),
// so that a temporary device root is still removed.
#pragma once

namespace tools {

// Catches every signal whose default action ends the program and that is
// not a fault of the program itself (SIGINT, SIGTERM, SIGHUP, SIGQUIT,
// SIGPIPE, SIGALRM, SIGUSR1, ..., the real-time signals), without restarting
// interrupted calls. A write to a closed pipe then fails with EPIPE instead
// of killing the program.
void installInterruptHandlers();
// The signal caught since the last clearInterrupt, or 0.
int interruptSignal();
void clearInterrupt();

}  // namespace tools
