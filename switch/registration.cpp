// When the bundle is loaded: makes LumivoSwitch known by name, so that the
// toggle framework can instantiate the bundle's principal class, and has the
// toggle follow settings changed anywhere (the pane, another process). The
// observer is the one thing the bundle keeps, once per process, for the
// life of the process.
#include "host/host.h"
#include "settings/keys.h"
#include "switch/lumivo_switch.h"

namespace {

host::SwitchDataSource* makeLumivoSwitch() { return new LumivoSwitch; }

// Every toggle showing the switch asks it for its state again.
void settingsChanged(host::NotifyCenter*, void*, const char*, const void*, const void*) {
  host::switchPanelStateDidChange(kLumivoSwitchIdentifier);
}

[[gnu::constructor]] void registerLumivoSwitch() {
  host::registerSwitchDataSourceClass("LumivoSwitch", &makeLumivoSwitch);
  host::notifyCenterAddObserver(host::darwinNotifyCenter(), nullptr, &settingsChanged,
                                settings::kChangedNotification, nullptr, host::kSuspensionCoalesce);
}

}  // namespace
