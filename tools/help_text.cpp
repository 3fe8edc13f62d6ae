#include "tools/help_text.h"

#include "tools/command_table.h"

namespace tools {

namespace {

constexpr std::size_t kHelpColumn = 26;

// The reference lines of the commands that are (or are not) expectations.
std::string referenceOf(bool expectations) {
  std::string out;
  for (const CommandDef& def : commandTable()) {
    if (def.expectation != expectations) continue;
    std::string line = "  " + usageOf(def);
    line += line.size() + 2 <= kHelpColumn ? std::string(kHelpColumn - line.size(), ' ')
                                           : "\n" + std::string(kHelpColumn, ' ');
    for (char c : def.help) line += c == '\n' ? "\n" + std::string(kHelpColumn, ' ') : std::string(1, c);
    out += line + "\n";
  }
  return out;
}

}  // namespace

std::string commandReference() {
  return "Commands (one per line; # starts a comment; \"double quotes\" keep spaces):\n" + referenceOf(false) +
         "Every pref edit posts the change notification, as the settings pane does.\n"
         "Notifications are delivered between commands, as the main run loop would.\n"
         "FILE names are relative to the script's folder.\n"
         "\n"
         "Expectations (a failure is reported with its line; the script goes on):\n" +
         referenceOf(true);
}

std::string usageText() {
  return R"(lumivo-sim: a simulated iPhone running Lumivo's brightness steps and toggle switch.

Usage:
  lumivo-sim demo                a guided tour of everything Lumivo does
  lumivo-sim [OPTIONS] SCRIPT    play a script file (- reads standard input)
  lumivo-sim [OPTIONS]           an interactive shell (on a terminal; otherwise
                                 the script is read from standard input)

Options:
  --root DIR         the device root; created and filled with the deliverables when
                     it does not exist or is empty (default: a fresh temporary root,
                     removed at exit)
  --process NAME     the host process: SpringBoard (default) loads the extension and
                     the switches; Preferences, or any other application, loads the
                     switches but not the extension
  --cf-version V     the CoreFoundation version of the simulated host (default 1240.1;
                     below 793 the host has display stacks, below 847.2 the older
                     front-display change)
  --journal          print every host call the deliverables make, as it happens
  --ready-file FILE  create FILE once the device has booted, so that another process
                     started on the same root knows this one will hear its posts
  -h, --help         this text

Exit status: 0 when every expectation held, 1 when one failed, 2 for a bad script
or bad options. Two processes on one root share the settings file and the change
notification: start one with --ready-file, start the other once the file exists.

)" + commandReference();
}

}  // namespace tools
