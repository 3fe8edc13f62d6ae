// The alert controllers this module has made and not yet seen tapped.
#pragma once

#include "host/host.h"

namespace adapter {

// `delegate` is going: a tap on an alert controller made for it reports to
// no one from now on, and the alert still leaves the screen.
void forgetAlertControllerDelegate(host::AlertDelegate* delegate);

}  // namespace adapter
