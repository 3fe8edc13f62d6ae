#include "tests/support/other_process.h"

#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {
namespace {

[[noreturn]] void bootAndRun(const sim::BootOptions& options, const std::function<bool()>& body) {
  sim::boot(options);
  const bool ok = body();
  sim::shutdown();
  _exit(ok ? 0 : 1);
}

bool succeeded(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool runInOtherProcess(const sim::BootOptions& options, const std::function<bool()>& body) {
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) bootAndRun(options, body);
  return succeeded(child);
}

OtherProcess::OtherProcess(const sim::BootOptions& options, const std::function<bool()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return;
  child_ = fork();
  if (child_ == 0) {
    close(fds[1]);
    char go = 0;
    // End of file: the test ended without running this process.
    if (read(fds[0], &go, 1) != 1) _exit(2);
    close(fds[0]);
    bootAndRun(options, body);
  }
  close(fds[0]);
  if (child_ < 0) {
    close(fds[1]);
    return;
  }
  go_ = fds[1];
}

OtherProcess::~OtherProcess() {
  if (go_ < 0) return;
  close(go_);
  waitpid(child_, nullptr, 0);
}

bool OtherProcess::run() {
  if (go_ < 0) return false;
  const char go = 1;
  const bool started = write(go_, &go, 1) == 1;
  close(go_);
  go_ = -1;
  return succeeded(child_) && started;
}

}  // namespace testing_support
