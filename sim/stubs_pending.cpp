// Temporary: models not written yet. Each function moves to its own file.
#include "sim/boot_steps.h"
#include "host/host.h"

namespace sim {
void springBoardDefine(const BootOptions&) {}
void uikitDefine(const BootOptions&) {}
void alertsReset(const BootOptions&) {}
void activatorDefine(const BootOptions&) {}
void springBoardStart(const BootOptions&) {}
void toggleLoad(const BootOptions&) {}
void toggleUnload() {}
}  // namespace sim

namespace host {
Id awayControllerShared() { return nullptr; }
bool awayControllerIsLocked(Id) { return false; }
Id displayStackTopApplication(Id) { return nullptr; }
std::optional<std::string> applicationDisplayIdentifier(Id) { return std::nullopt; }
Id workspaceBKSWorkspace(Id) { return nullptr; }
std::optional<std::string> bksWorkspaceTopApplication(Id) { return std::nullopt; }
bool keyboardIsOnScreen() { return false; }
Id screenMain() { return nullptr; }
CGFloat screenBrightness(Id) { return 0; }
Id alertCreate(const char*, const char*, AlertDelegate*, const char*, std::initializer_list<const char*>) { return nullptr; }
void alertShow(Id) {}
Id applicationShared() { return nullptr; }
Id urlWithString(const char*) { return nullptr; }
void applicationOpenURL(Id, Id) {}
void setBacklightLevel(float) {}
Id activatorShared() { return nullptr; }
void activatorRegisterListener(Id, Listener*, const char*) {}
void eventSetHandled(Id, bool) {}
void registerSwitchDataSourceClass(const char*, SwitchDataSourceFactory) {}
}  // namespace host
