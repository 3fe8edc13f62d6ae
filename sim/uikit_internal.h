// Internal to the simulator: the parts of the alert and link models that
// other models reset.
#pragma once

namespace sim {

// Takes every alert off the screen without telling its delegate, as when
// the process ends.
void alertsTakeDown();
// Forgets the links opened and the process's application object.
void linksReset();

}  // namespace sim
