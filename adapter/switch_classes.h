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

// An alert view does not retain its delegate. Each one shown with a delegate
// is kept until a button is tapped (alertViewFinished), so that an object
// going while its alerts are on screen can be taken off them first
// (forgetAlertViewsOf): a late tap then reaches no one.
void alertViewFinished(id alertView);
void forgetAlertViewsOf(id delegate);

}  // namespace adapter
