// Temporary stand-ins until the SpringBoard, screen and event-framework
// models are written; each definition moves to its model's own file.
#include "host/host.h"
#include "sim/boot_steps.h"

namespace sim {
void springBoardDefine(const BootOptions&) {}
void uikitDefine(const BootOptions&) {}
void activatorDefine(const BootOptions&) {}
void springBoardStart(const BootOptions&) {}
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
void setBacklightLevel(float) {}
Id activatorShared() { return nullptr; }
void activatorRegisterListener(Id, Listener*, const char*) {}
void eventSetHandled(Id, bool) {}
}  // namespace host
