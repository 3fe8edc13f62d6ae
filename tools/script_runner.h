// Plays a parsed script on a booted session.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/command.h"
#include "tools/session.h"

namespace tools {

// Echoes each command to `out` ("> command"), runs it, and turns the main
// run loop once before the next, as between two user actions. Every failure
// goes to `err` as "<scriptName>, line N: <command>: <what was found>" and
// the script goes on. Ends with a one-line summary on `out`. Returns the exit
// status: 0 when nothing failed, 1 otherwise, 128 + the signal when the run
// was interrupted.
int playScript(Session& session, const std::vector<Command>& commands, const std::string& scriptName,
               std::ostream& out, std::ostream& err);

}  // namespace tools
