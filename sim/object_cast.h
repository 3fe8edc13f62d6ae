// Host object references as the models' own types. Every host query the
// deliverables make goes through this, so that any reference they pass
// (absent, destroyed, or of another class) is safe to ask. Asking a
// destroyed object, which would crash a device, is journaled as
// "destroyedObjectMessaged".
#pragma once

#include "host/host.h"
#include "sim/journal.h"
#include "sim/runtime.h"

namespace sim {

// The object as a `T`, or null when it is absent, destroyed, or not a `T`.
template <class T>
T* objectAs(host::Id object) {
  if (!object) return nullptr;
  if (!isAlive(object)) {
    journal("destroyedObjectMessaged");
    return nullptr;
  }
  return dynamic_cast<T*>(object);
}

}  // namespace sim
