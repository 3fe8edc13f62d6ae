// host.h's toggle framework panel. The framework belongs to the host
// process: its class is looked up by name and the method asked for before it
// is sent, so that a process without either is told nothing.
#import <Foundation/Foundation.h>

#include "adapter/frameworks/toggles.h"
#include "adapter/objc_bridge.h"
#include "host/host.h"

namespace host {

void switchPanelStateDidChange(const char* switchIdentifier) {
  ::Class panelClass = adapter::classNamed("FSSwitchPanel");
  if (!switchIdentifier || !adapter::answers(panelClass, @selector(sharedPanel))) return;
  FSSwitchPanel* panel = [panelClass sharedPanel];
  if (adapter::answers(panel, @selector(stateDidChangeForSwitchIdentifier:)))
    [panel stateDidChangeForSwitchIdentifier:adapter::string(switchIdentifier)];
}

}  // namespace host
