#include "tools/help_text.h"

#include "host/releases.h"
#include "sim/device.h"
#include "tools/command_table.h"
#include "tools/numbers.h"

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

// The named releases, four to a line, in columns of "NAME VERSION".
std::string releaseList() {
  constexpr std::size_t kCell = 16;
  std::string out, line;
  for (const host::Release& release : host::kReleases) {
    std::string cell = std::string(release.name) + " " + formatVersion(release.coreFoundation);
    if (line.size() >= 4 * kCell) {
      out += "                     " + line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
      line.clear();
    }
    line += cell + std::string(kCell - cell.size(), ' ');
  }
  return out + "                     " + line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
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
  return std::string(R"(lumivo-sim: a simulated iPhone running Lumivo's brightness steps and toggle switch.

Usage:
  lumivo-sim demo                a guided tour of everything Lumivo does
  lumivo-sim [OPTIONS] SCRIPT    play a script file (- reads standard input)
  lumivo-sim [OPTIONS]           an interactive shell (on a terminal; otherwise
                                 the script is read from standard input)

Options:
  --root DIR         the device root; created and filled with the deliverables when
                     it does not exist or is empty, used as it is when it already is
                     a device root, refused when it holds anything else (default: a
                     fresh temporary root, removed at exit)
  --process NAME     the host process: SpringBoard (default) loads the extension and
                     the switches; Preferences, or any other application, loads the
                     switches but not the extension
  --cf-version V     the CoreFoundation version of the simulated host, any number
                     (default )" + formatVersion(sim::kCurrentVersion) + ", iOS " + std::string(sim::kDefaultRelease) +
         R"(); each release from 7.0 to 14.x offers
                     its own classes (the host command lists them), below )" +
         formatVersion(host::coreFoundationOf("7.0")) + R"( the
                     iOS 3-6 hosts (display stacks below )" + formatVersion(host::kWorkspaceVersion) +
         R"(). Named releases:
)") + releaseList() + R"(  --journal          print every platform call the deliverables make, as it happens,
                     named as `host` lists it: +[SBLockScreenManager sharedInstance],
                     BKSDisplayBrightnessSet(), CFPreferencesCopyMultiple(), ...
  --ready-file FILE  create FILE once the device has booted, so that another process
                     started on the same root knows this one will hear its posts
  -h, --help         this text (also: lumivo-sim help)
  --version          the program's version

Exit status: 0 when every expectation held, 1 when one failed, 2 for a bad script
or bad options. Two processes on one root share the settings file and the change
notification: start one with --ready-file, start the other once the file exists.

)" + commandReference();
}

}  // namespace tools
