// lumivo-sim: boots a simulated device with the deliverables and plays the
// demo, a script, or an interactive shell on it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "sim/device.h"
#include "tools/demo.h"
#include "tools/device_root.h"
#include "tools/help_text.h"
#include "tools/input_files.h"
#include "tools/interrupt.h"
#include "tools/options.h"
#include "tools/printable.h"
#include "tools/script_parser.h"
#include "tools/script_runner.h"
#include "tools/session.h"
#include "tools/shell.h"

namespace fs = std::filesystem;
using namespace tools;

namespace {

constexpr int kBadInput = 2;

// Reports bad input, escaped: a name or path given may hold a newline or
// bytes that would drive the terminal.
int badInput(const std::string& message) {
  std::cout.flush();
  std::cerr << "lumivo-sim: " << printable(message) << "\n";
  return kBadInput;
}

// Reads the script named on the command line; none, with a message, when
// it cannot be read.
std::optional<std::string> readScript(const std::string& name, std::string* error) {
  std::string why;
  auto text = name == "-" ? readInputStream(STDIN_FILENO, kMaxInputBytes, &why)
                          : readInputFile(name, kMaxInputBytes, &why);
  if (!text) *error = "cannot read the script " + (name == "-" ? std::string("from standard input") : name) + ": " + why;
  return text;
}

// Why `path` cannot serve as the ready file: only a regular file (or none
// yet) will do, never a FIFO that would hang the boot or a link.
std::optional<std::string> unfitReadyFile(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return std::nullopt;
  if (S_ISREG(st.st_mode)) return std::nullopt;
  return "--ready-file " + path + ": " +
         (S_ISLNK(st.st_mode) ? "a symbolic link" : S_ISDIR(st.st_mode) ? "a folder" : "not a regular file") +
         " is in the way";
}

// Writes this process's id to the ready file; false with `error` set.
bool writeReadyFile(const std::string& path, std::string* error) {
  if (auto unfit = unfitReadyFile(path)) {
    *error = *unfit;
    return false;
  }
  errno = 0;
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
  struct stat st {};
  const std::string text = std::to_string(getpid()) + "\n";
  bool ok = fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ftruncate(fd, 0) == 0 &&
            write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  if (!ok) *error = "cannot create the ready file " + path + ": " + std::strerror(errno ? errno : EINVAL);
  if (fd >= 0) close(fd);
  return ok;
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
  if (options.mode == Options::Mode::Version) {
    std::cout << "lumivo-sim " << LUMIVO_VERSION << "\n";
    return 0;
  }

  // A bad script is rejected before any device root is touched.
  std::vector<Command> commands;
  std::string scriptName = options.script == "-" ? "standard input" : printable(options.script);
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

  if (!options.readyFile.empty())
    if (auto unfit = unfitReadyFile(options.readyFile)) return badInput(*unfit);

  // From here on a signal stops the program where it can remove what it made.
  installInterruptHandlers();
  std::string error;
  auto root = DeviceRoot::prepare(options.root, &error);
  if (!root) return badInput(error);
  if (int signal = interruptSignal()) return 128 + signal;
  SessionOptions sessionOptions;
  sessionOptions.root = root->path();
  sessionOptions.process = options.process;
  sessionOptions.coreFoundationVersion = options.coreFoundationVersion;
  sessionOptions.journal = options.journal;
  if (options.mode == Options::Mode::Demo) return runDemo(sessionOptions);

  std::cout << "device root " << printable(root->path()) << (root->temporary() ? " (temporary)" : "")
            << (root->populatedFrom().empty() ? "" : ", deliverables from " + printable(root->populatedFrom()))
            << "\n";
  Session session(std::cout);
  session.boot(sessionOptions);
  std::cout << session.bootSummary();
  if (const std::string& problem = sim::notificationProblem(); !problem.empty())
    return badInput(problem + "; other processes on this root could not reach this one");
  if (!options.readyFile.empty() && !writeReadyFile(options.readyFile, &error)) return badInput(error);
  std::cout.flush();

  if (options.mode == Options::Mode::Shell) return runShell(session);
  return playScript(session, commands, scriptName, std::cout, std::cerr);
}
