// The command line of lumivo-sim.
#pragma once

#include <optional>
#include <string>

namespace tools {

struct Options {
  enum class Mode { Script, Shell, Demo, Help, Version };
  Mode mode = Mode::Shell;
  std::string script;                 // a file, or "-" for standard input
  std::string root;                   // empty: a temporary root
  std::string process = "SpringBoard";
  double coreFoundationVersion = 0;   // 0: the current host's
  bool journal = false;
  std::string readyFile;              // created once the device has booted
};

struct ParsedOptions {
  std::optional<Options> options;
  std::string error;  // set when the command line is wrong
};

// Reads the arguments after the program name. Without a script, the program
// is an interactive shell when standard input is a terminal and reads a
// script from standard input otherwise. `help`, like `demo`, is a word of
// its own, not a script's name.
ParsedOptions parseOptions(int argc, const char* const* argv, bool stdinIsTerminal);

}  // namespace tools
