#include "tools/options.h"

#include <string_view>
#include <vector>

#include "host/releases.h"
#include "tools/numbers.h"

namespace tools {
namespace {

bool validProcessName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
          c == '-'))
      return false;
  return true;
}

}  // namespace

ParsedOptions parseOptions(int argc, const char* const* argv, bool stdinIsTerminal) {
  ParsedOptions result;
  Options options;
  std::vector<std::string> positional;
  bool processGiven = false;
  std::vector<std::string> given;
  auto fail = [&](std::string message) {
    result.error = std::move(message);
    return result;
  };
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-" || arg.empty() || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      for (++i; i < argc; ++i) positional.push_back(argv[i]);
      break;
    }
    if (arg == "-h" || arg == "--help" || arg == "--version") {
      options.mode = arg == "--version" ? Options::Mode::Version : Options::Mode::Help;
      result.options = options;
      return result;
    }
    std::string name = arg, value;
    bool inlineValue = false;
    if (auto eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    if (name != "--root" && name != "--process" && name != "--cf-version" && name != "--ready-file" &&
        name != "--journal")
      return fail("unknown option " + name);
    // The last of two would silently win: with two roots, say, the user
    // cannot tell which device was played. Every option is given once.
    for (const auto& earlier : given)
      if (earlier == name) return fail(name + " is given more than once");
    given.push_back(name);
    if (name == "--journal") {
      if (inlineValue) return fail("--journal takes no value");
      options.journal = true;
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= argc) return fail(name + " needs a value");
      value = argv[++i];
    }
    if (name == "--root") {
      if (value.empty()) return fail("--root needs a folder");
      options.root = value;
    } else if (name == "--process") {
      if (!validProcessName(value))
        return fail("--process: \"" + value + "\" is not a process name (e.g. SpringBoard or Preferences)");
      options.process = value;
      processGiven = true;
    } else if (name == "--cf-version") {
      auto version = parseReal(value);
      if (!version || *version <= 0)
        return fail("--cf-version: \"" + value + "\" is not a CoreFoundation version (e.g. " +
                    formatVersion(host::coreFoundationOf("7.0")) + ")");
      options.coreFoundationVersion = *version;
    } else {
      if (value.empty()) return fail("--ready-file needs a file name");
      options.readyFile = value;
    }
  }
  if (positional.size() > 1)
    return fail("more than one script given (\"" + positional[0] + "\", \"" + positional[1] + "\")");
  if (positional.empty()) {
    options.mode = stdinIsTerminal ? Options::Mode::Shell : Options::Mode::Script;
    if (!stdinIsTerminal) options.script = "-";
  } else if (positional[0] == "help") {
    options.mode = Options::Mode::Help;
  } else if (positional[0] == "demo") {
    options.mode = Options::Mode::Demo;
    if (processGiven && options.process != "SpringBoard")
      return fail("the demo runs in SpringBoard; --process does not apply");
  } else {
    options.mode = Options::Mode::Script;
    options.script = positional[0];
  }
  result.options = options;
  return result;
}

}  // namespace tools
