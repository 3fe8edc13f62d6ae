// Runs part of a test as another process of the same simulated device.
#pragma once

#include <functional>

#include "sim/device.h"

namespace testing_support {

// Forks, boots a host process with `options` in the child, runs `body`
// there, and waits. True when the child booted, ran and `body` returned
// true.
bool runInOtherProcess(const sim::BootOptions& options, const std::function<bool()>& body);

}  // namespace testing_support
