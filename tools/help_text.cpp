#include "tools/help_text.h"

namespace tools {

std::string commandReference() {
  return R"(Commands (one per line; # starts a comment; "double quotes" keep spaces):
  brightness V            the user sets the screen brightness to V (0...1)
  press up | press down   the user performs the gesture bound to
                          com.vantorel.brightnesslistener.up / .down
  keyboard show | hide    the on-screen keyboard appears / goes
  launch ID               application ID comes to the front
  home                    the home screen shows
  lock | unlock           the device locks / unlocks
  switch                  show the switch's state
  switch on | off         tap the switch to on / off
  switch apply N          tap the switch asking for state N
  switch alt              trigger the switch's alternate action (its menu)
  alert tap N             tap button N of the newest alert (0 is the cancel button)
  pref set KEY VALUE      the settings pane sets KEY; VALUE is true, false, an
                          integer, a real with a dot, or a "string"
  pref delete KEY         the settings pane removes KEY
  pref clear              the settings file is removed
  pref copy FILE          the settings file is replaced with FILE's bytes
  pref show               print the settings file
  put DEVICE_PATH FILE    copy FILE's bytes to DEVICE_PATH on the device,
                          posting nothing
  post                    post the change notification without touching the file
  wait MS                 run the main loop for MS milliseconds
  await-post [MS]         run the main loop until a change notification from
                          another process arrives (default 5000 ms; fails if none
                          comes); one that arrived since the previous await-post
                          counts at once, the echo of this process's own posts not
  status                  print the device in one line
  help                    this list
Every pref edit posts the change notification, as the settings pane does.
Notifications are delivered between commands, as the main run loop would.
FILE names are relative to the script's folder.

Expectations (a failure is reported with its line; the script goes on):
  expect level V          the latest press set the backlight to exactly the
                          single-precision value nearest V
  expect unhandled        the latest press set no level and left the event unhandled
  expect brightness V     the screen shows V (within 1e-6)
  expect switch N         the switch reports N (0 off, 1 on, -1 indeterminate)
  expect pref KEY VALUE   the settings file holds KEY with that typed value
  expect pref KEY absent  the settings file lacks KEY
  expect posts N          this process (switch, menu, pane and post) has posted
                          the change notification N times since the script began
  expect opened URL       the latest link opened is URL
  expect opened none      no link has been opened
  expect alerts N         N alerts are on screen
)";
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
