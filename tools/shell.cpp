#include "tools/shell.h"

#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tools/command_table.h"
#include "tools/interrupt.h"
#include "tools/script_parser.h"

namespace tools {
namespace {

// The words completed: the table's, and the shell's own `quit`.
std::vector<std::string> commandWords() {
  std::vector<std::string> words = firstWords();
  words.push_back("quit");
  return words;
}

const std::vector<std::string>* candidates = nullptr;

char* nextCandidate(const char* text, int state) {
  static std::size_t index;
  if (state == 0) index = 0;
  const std::string prefix = text;
  while (candidates && index < candidates->size()) {
    const std::string& word = (*candidates)[index++];
    if (word.compare(0, prefix.size(), prefix) == 0) return strdup(word.c_str());
  }
  return nullptr;
}

char** complete(const char* text, int start, int) {
  rl_attempted_completion_over = 1;
  std::string before(rl_line_buffer, static_cast<std::size_t>(start));
  const auto first = before.find_first_not_of(' ');
  static const std::vector<std::string> commands = commandWords();
  static std::vector<std::string> seconds;
  candidates = nullptr;
  if (first == std::string::npos) {
    candidates = &commands;
  } else {
    const std::string word = before.substr(first, before.find(' ', first) - first);
    const bool secondWord = before.find_first_not_of(' ', first + word.size()) == std::string::npos;
    if (secondWord) {
      seconds = secondWords(word);
      candidates = &seconds;
    }
  }
  return rl_completion_matches(text, nextCandidate);
}

// Ctrl-C abandons the line being typed and shows a fresh prompt; any other
// signal ends the line, and the shell.
int onSignalDuringRead() {
  if (interruptSignal() == SIGINT) {
    clearInterrupt();
    rl_replace_line("", 0);
    rl_crlf();
    rl_on_new_line();
    rl_redisplay();
  } else if (interruptSignal()) {
    rl_done = 1;
  }
  return 0;
}

}  // namespace

int runShell(Session& session) {
  const bool colour = isatty(STDOUT_FILENO);
  rl_readline_name = "lumivo-sim";
  rl_attempted_completion_function = complete;
  rl_signal_event_hook = onSignalDuringRead;
  std::error_code ec;
  const std::string cwd = std::filesystem::current_path(ec).string();
  std::cout << "Type a command (help lists them; quit or Ctrl-D leaves).\n";
  std::cout << "  " << formatStatus(session.status()) << "\n";
  for (;;) {
    char* raw = readline("lumivo> ");
    if (int signal = interruptSignal()) {
      std::free(raw);
      return 128 + signal;
    }
    if (!raw) {
      std::cout << "\n";
      return 0;
    }
    std::string line = raw;
    std::free(raw);
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    add_history(line.c_str());
    const std::string trimmed = line.substr(line.find_first_not_of(" \t"));
    if (trimmed.rfind("quit", 0) == 0 || trimmed.rfind("exit", 0) == 0) {
      if (trimmed.find_first_not_of(" \t", 4) == std::string::npos) return 0;
    }
    ParsedLine parsed = parseLine(line, 0, cwd);
    if (!parsed.error.empty()) {
      std::cout << "  error: " << parsed.error << "\n";
      continue;
    }
    if (!parsed.command) continue;
    Failure failure = session.run(*parsed.command);
    session.settle();
    if (failure) std::cout << "  FAILED: " << *failure << "\n";
    else if (parsed.command->isExpectation()) std::cout << "  holds\n";
    if (interruptSignal() == SIGINT) clearInterrupt();
    if (parsed.command->def->showsState) continue;
    std::cout << (colour ? "  \x1b[2m" : "  ") << formatStatus(session.status()) << (colour ? "\x1b[0m\n" : "\n");
  }
}

}  // namespace tools
