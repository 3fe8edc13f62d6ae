// lumivo-sim: boots a simulated device with the deliverables and plays the
// demo, a script, or an interactive shell on it.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/demo.h"
#include "tools/device_root.h"
#include "tools/help_text.h"
#include "tools/interrupt.h"
#include "tools/options.h"
#include "tools/script_parser.h"
#include "tools/script_runner.h"
#include "tools/session.h"
#include "tools/shell.h"

namespace fs = std::filesystem;
using namespace tools;

namespace {

constexpr int kBadInput = 2;

int badInput(const std::string& message) {
  std::cout.flush();
  std::cerr << "lumivo-sim: " << message << "\n";
  return kBadInput;
}

// Reads the script named on the command line; none, with a message, when
// it cannot be read.
std::optional<std::string> readScript(const std::string& name, std::string* error) {
  std::ostringstream text;
  if (name == "-") {
    text << std::cin.rdbuf();
    return text.str();
  }
  std::error_code ec;
  if (fs::is_directory(name, ec)) {
    *error = "cannot read the script " + name + ": it is a folder";
    return std::nullopt;
  }
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    *error = "cannot read the script " + name + ": " + std::strerror(errno);
    return std::nullopt;
  }
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  ParsedOptions parsed = parseOptions(argc - 1, argv + 1, isatty(STDIN_FILENO));
  if (!parsed.options) return badInput(parsed.error + " (lumivo-sim --help lists the options)");
  const Options& options = *parsed.options;

  if (options.mode == Options::Mode::Help) {
    std::string where;
    auto found = findDeviceTemplate(&where);
    std::cout << usageText() << "\nDeliverables: " << (found ? *found : where) << "\n";
    return 0;
  }

  // A bad script is rejected before any device root is touched.
  std::vector<Command> commands;
  std::string scriptName = options.script == "-" ? "standard input" : options.script;
  if (options.mode == Options::Mode::Script) {
    std::string error;
    auto text = readScript(options.script, &error);
    if (!text) return badInput(error);
    std::error_code ec;
    const std::string baseDir = options.script == "-" ? fs::current_path(ec).string()
                                                      : fs::absolute(options.script, ec).parent_path().string();
    Script script = parseScript(*text, baseDir);
    if (!script.errors.empty()) {
      for (const auto& e : script.errors) std::cerr << scriptName << ", line " << e.line << ": " << e.message << "\n";
      std::cerr << "lumivo-sim: the script was not run\n";
      return kBadInput;
    }
    commands = std::move(script.commands);
  }

  std::string error;
  auto root = DeviceRoot::prepare(options.root, &error);
  if (!root) return badInput(error);

  installInterruptHandlers();
  SessionOptions sessionOptions;
  sessionOptions.root = root->path();
  sessionOptions.process = options.process;
  sessionOptions.coreFoundationVersion = options.coreFoundationVersion;
  sessionOptions.journal = options.journal;
  if (options.mode == Options::Mode::Demo) return runDemo(sessionOptions);

  std::cout << "device root " << root->path() << (root->temporary() ? " (temporary)" : "")
            << (root->populatedFrom().empty() ? "" : ", deliverables from " + root->populatedFrom()) << "\n";
  Session session(std::cout);
  session.boot(sessionOptions);
  std::cout << session.bootSummary();
  if (!options.readyFile.empty()) {
    std::ofstream ready(options.readyFile);
    ready << getpid() << "\n";
    if (!ready) return badInput("cannot create the ready file " + options.readyFile + ": " + std::strerror(errno));
  }
  std::cout.flush();

  if (options.mode == Options::Mode::Shell) return runShell(session);
  return playScript(session, commands, scriptName, std::cout, std::cerr);
}
