#include "tests/support/other_process.h"

#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

bool runInOtherProcess(const sim::BootOptions& options, const std::function<bool()>& body) {
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    sim::boot(options);
    const bool ok = body();
    sim::shutdown();
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace testing_support
