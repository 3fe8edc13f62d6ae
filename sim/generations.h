// The host generations: the classes, methods and C functions each release
// offers the deliverables (sim/offers.h).
#pragma once

#include "sim/device.h"

namespace sim {

// Defines the classes, methods and functions the host of `options` offers
// for its CoreFoundation version and process; the models then give the
// methods they dispatch their implementations.
void offerGeneration(const BootOptions& options);

}  // namespace sim
