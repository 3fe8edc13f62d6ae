// The interactive shell: line editing and history (GNU readline), `help`,
// and the device's status in one line after every command.
#pragma once

#include "tools/session.h"

namespace tools {

// Reads commands from the terminal until end of input, `quit` or `exit`.
// Ctrl-C abandons the line being typed, or a wait in progress. Returns the
// exit status: 0, or 128 + the signal that ended the shell.
int runShell(Session& session);

}  // namespace tools
