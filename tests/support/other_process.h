// Runs part of a test as another process of the same simulated device. A
// process boots once, and a child of a booted process cannot boot again: the
// other process is forked before this one boots.
#pragma once

#include <sys/types.h>

#include <functional>

#include "sim/device.h"

namespace testing_support {

// Forks, boots a host process with `options` in the child, runs `body`
// there, and waits. This process must not have booted. True when the child
// booted, ran and `body` returned true.
bool runInOtherProcess(const sim::BootOptions& options, const std::function<bool()>& body);

// A process forked now, before this one boots, that waits until run() lets
// it boot with `options` and run `body`. Ended unrun when destroyed.
class OtherProcess {
 public:
  OtherProcess(const sim::BootOptions& options, const std::function<bool()>& body);
  ~OtherProcess();
  OtherProcess(const OtherProcess&) = delete;
  OtherProcess& operator=(const OtherProcess&) = delete;
  // Lets the child boot and run, and waits for it. True when it booted, ran
  // and `body` returned true; false on a second call.
  bool run();

 private:
  pid_t child_ = -1;
  int go_ = -1;
};

}  // namespace testing_support
