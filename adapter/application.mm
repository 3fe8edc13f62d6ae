// host.h's application object, which the extension asks for SpringBoard's
// and the switch opens links with.
#import <UIKit/UIKit.h>

#include "adapter/objc_bridge.h"
#include "host/host.h"

namespace host {

Id applicationShared() { return adapter::hostId([UIApplication sharedApplication]); }

}  // namespace host
