// Internal to the simulator: the parts of the alert and link models that
// other models reset.
#pragma once

#include "host/host.h"

namespace sim {

// An instance of UIApplication: the process's application object.
struct UIApplicationObject : host::Object {
  using Object::Object;
};

// Takes every alert off the screen without telling its delegate, as when
// the process ends.
void alertsTakeDown();
// Forgets the links opened and the process's application object.
void linksReset();

}  // namespace sim
