// Temporary stand-ins until the toggle framework, alert and link models are
// written; each definition moves to its model's own file.
#include "host/host.h"
#include "sim/boot_steps.h"

namespace sim {
void alertsReset(const BootOptions&) {}
void toggleLoad(const BootOptions&) {}
void toggleUnload() {}
}  // namespace sim

namespace host {
Id alertCreate(const char*, const char*, AlertDelegate*, const char*, std::initializer_list<const char*>) { return nullptr; }
void alertShow(Id) {}
Id applicationShared() { return nullptr; }
Id urlWithString(const char*) { return nullptr; }
void applicationOpenURL(Id, Id) {}
void registerSwitchDataSourceClass(const char*, SwitchDataSourceFactory) {}
}  // namespace host
