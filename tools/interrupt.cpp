#include "tools/interrupt.h"

#include <csignal>
#include <initializer_list>

namespace tools {
namespace {

volatile std::sig_atomic_t caught = 0;

void onSignal(int signal) { caught = signal; }

}  // namespace

void installInterruptHandlers() {
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF,
                     SIGXCPU, SIGXFSZ, SIGIO,
#ifdef SIGPWR
                     SIGPWR,
#endif
#ifdef SIGSTKFLT
                     SIGSTKFLT,
#endif
                     SIGTERM})
    sigaction(signal, &action, nullptr);
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaction(signal, &action, nullptr);
}

int interruptSignal() { return caught; }

void clearInterrupt() { caught = 0; }

}  // namespace tools
