// Makes LumivoSwitch known by name when the bundle is loaded, so that the
// toggle framework can instantiate the bundle's principal class.
#include "host/host.h"
#include "switch/lumivo_switch.h"

namespace {

host::SwitchDataSource* makeLumivoSwitch() { return new LumivoSwitch; }

[[gnu::constructor]] void registerLumivoSwitch() {
  host::registerSwitchDataSourceClass("LumivoSwitch", &makeLumivoSwitch);
}

}  // namespace
