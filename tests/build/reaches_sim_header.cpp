// Must not build as a deliverable: the simulated device's headers are out of
// its reach.
#include "sim/device.h"

bool deliverableProbe() { return sim::booted(); }
