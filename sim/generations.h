// The host generations: the releases known by name, and the classes,
// methods and C functions each generation offers the deliverables.
#pragma once

#include <span>

#include "sim/device.h"

namespace sim {

struct Release {
  const char* name;  // "9.0"
  double coreFoundation;
};
// Every release known by name, oldest first.
std::span<const Release> namedReleases();
// The newest named release at or below `version` (the oldest for a version
// below them all).
const Release& releaseOf(double version);

// Defines the classes, methods and functions the host of `options` offers
// for its CoreFoundation version and process; the models then give the
// methods they dispatch their implementations.
void offerGeneration(const BootOptions& options);

}  // namespace sim
