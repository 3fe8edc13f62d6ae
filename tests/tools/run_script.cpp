// Runs one scenario script through lumivo-sim and checks the outcome the
// script declares in its `#|` lines (plain comments to lumivo-sim):
//   #| args: OPTIONS...   extra command-line options (split at spaces)
//   #| release: NAME      play the host release NAME (host/releases.h)
//   #| exit: N            the expected exit status (default 0)
//   #| stdout: TEXT       TEXT appears in the standard output
//   #| stderr: TEXT       TEXT appears in the standard error
// Usage: run_script LUMIVO_SIM SCRIPT [DECLARATION...]
// where each DECLARATION ("release: 8.0") adds to the script's
// own, so that one script can be played on several hosts.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "host/releases.h"

namespace {

struct Declared {
  std::vector<std::string> args;
  int exit = 0;
  std::vector<std::string> stdoutHas, stderrHas;
};

void declare(Declared& d, const std::string& declaration) {
  const auto colon = declaration.find(": ");
  if (colon == std::string::npos) return;
  const std::string key = declaration.substr(0, colon), value = declaration.substr(colon + 2);
  if (key == "args") {
    std::istringstream words(value);
    for (std::string w; words >> w;) d.args.push_back(w);
  } else if (key == "release") {
    const host::Release* release = host::findRelease(value);
    if (!release) {
      std::cerr << "no release named " << value << "\n";
      std::exit(2);
    }
    char text[32];
    char* end = std::to_chars(text, text + sizeof text, release->coreFoundation).ptr;
    d.args.push_back("--cf-version");
    d.args.push_back(std::string(text, end));
  } else if (key == "exit") {
    d.exit = std::stoi(value);
  } else if (key == "stdout") {
    d.stdoutHas.push_back(value);
  } else if (key == "stderr") {
    d.stderrHas.push_back(value);
  }
}

Declared readDeclarations(const std::string& script) {
  Declared d;
  std::ifstream in(script);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("#| ", 0) == 0) declare(d, line.substr(3));
  return d;
}

std::string slurp(int fd) {
  std::string text;
  lseek(fd, 0, SEEK_SET);
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

int temporaryFile() {
  char name[] = "/tmp/run-script-XXXXXX";
  int fd = mkstemp(name);
  unlink(name);
  return fd;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: run_script LUMIVO_SIM SCRIPT [DECLARATION...]\n";
    return 2;
  }
  const std::string sim = argv[1], script = argv[2];
  Declared declared = readDeclarations(script);
  for (int i = 3; i < argc; ++i) declare(declared, argv[i]);
  const int out = temporaryFile(), err = temporaryFile();
  const pid_t child = fork();
  if (child == 0) {
    std::vector<std::string> words = {sim};
    words.insert(words.end(), declared.args.begin(), declared.args.end());
    words.push_back(script);
    std::vector<char*> argvChild;
    for (auto& w : words) argvChild.push_back(w.data());
    argvChild.push_back(nullptr);
    int devnull = open("/dev/null", O_RDONLY);
    dup2(devnull, 0);
    dup2(out, 1);
    dup2(err, 2);
    execv(sim.c_str(), argvChild.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  const std::string stdoutText = slurp(out), stderrText = slurp(err);
  bool ok = exitCode == declared.exit;
  if (!ok) std::cout << "exit status " << exitCode << ", expected " << declared.exit << "\n";
  for (const auto& text : declared.stdoutHas)
    if (stdoutText.find(text) == std::string::npos) {
      std::cout << "standard output lacks: " << text << "\n";
      ok = false;
    }
  for (const auto& text : declared.stderrHas)
    if (stderrText.find(text) == std::string::npos) {
      std::cout << "standard error lacks: " << text << "\n";
      ok = false;
    }
  if (!ok) std::cout << "---- standard output\n" << stdoutText << "---- standard error\n" << stderrText;
  return ok ? 0 : 1;
}
