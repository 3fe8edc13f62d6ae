// The data-source classes loaded modules have made known by name, internal
// to the simulator. The toggle framework instantiates a bundle's principal
// class through this table.
#pragma once

#include <string>

#include "host/host.h"

namespace sim {

// The factory registered under `name`, or null.
host::SwitchDataSourceFactory switchClassFactory(const std::string& name);
// Forgets every registered class; done before the modules that registered
// them are unloaded.
void forgetSwitchClasses();

}  // namespace sim
