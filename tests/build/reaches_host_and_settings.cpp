// Builds as a deliverable: it includes only what a device build also has.
#include "host/host.h"
#include "settings/keys.h"

int deliverableProbe() { return host::getClass(settings::kEnabledKey) != nullptr; }
