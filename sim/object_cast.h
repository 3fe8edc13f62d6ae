// Host object references as the models' own types. Every host query the
// deliverables make goes through this, so that any reference they pass
// (absent, destroyed, or of another class) is safe to ask.
#pragma once

#include "host/host.h"
#include "sim/runtime.h"

namespace sim {

// The object as a `T`, or null when it is absent, destroyed, or not a `T`.
template <class T>
T* objectAs(host::Id object) {
  if (!object || !isAlive(object)) return nullptr;
  return dynamic_cast<T*>(object);
}

}  // namespace sim
