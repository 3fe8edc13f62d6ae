// host.h's event-framework operations. A registered host listener is handed
// to the framework inside a BrightnessListener, the class the extension
// exports for it.
#import <Foundation/Foundation.h>

#include "adapter/frameworks/activator.h"
#include "adapter/objc_bridge.h"
#include "adapter/classes/BrightnessListener.h"
#include "host/host.h"

namespace host {

Id activatorShared() {
  ::Class activator = adapter::classNamed("LAActivator");
  if (!activator) return nullptr;
  return adapter::hostId([activator sharedInstance]);
}

void activatorRegisterListener(Id activator, Listener* listener, const char* name) {
  if (!activator || !listener || !name) return;
  // Like the listener it forwards to, kept for the life of the process.
  BrightnessListener* forwarder = [[BrightnessListener alloc] initWithListener:listener];
  [adapter::as<LAActivator>(activator) registerListener:forwarder forName:adapter::string(name)];
}

void eventSetHandled(Id event, bool handled) { [adapter::as<LAEvent>(event) setHandled:handled ? YES : NO]; }

}  // namespace host
