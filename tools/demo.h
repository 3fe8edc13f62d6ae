// The guided tour (`lumivo-sim demo`): a short scene per feature, each with
// a few lines of narration, the user's actions, and what the device did,
// brightness drawn as a bar. The tour checks the device as it goes.
#pragma once

#include "tools/session.h"

namespace tools {

// Boots SpringBoard on `options.root` (starting from default settings) and
// plays every scene; one of them forks a second process, the Settings
// application, on the same root. Returns 0 when the device behaved as
// narrated, 1 when it did not, 128 + the signal when interrupted.
int runDemo(const SessionOptions& options);

}  // namespace tools
