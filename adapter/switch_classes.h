// The switch classes of the loaded module: the C++ data sources registered by
// name, and the objects that stand for their alert delegates on the platform.
#pragma once

#import <Foundation/Foundation.h>

#include "host/host.h"

namespace adapter {

// The factory registered under the platform class name `name`, or null.
host::SwitchDataSourceFactory switchFactoryNamed(const char* name);

// `object` receives the alert choices meant for `delegate` until it is
// forgotten. Null delegates are ignored.
void setAlertDelegateObject(host::AlertDelegate* delegate, id object);
void forgetAlertDelegateObject(host::AlertDelegate* delegate);
// The object standing for `delegate`, or nil.
id alertDelegateObject(host::AlertDelegate* delegate);

}  // namespace adapter
