// Between the tree's values and the values the platform hands the
// deliverables (host::PreferenceValue).
#pragma once

#include <optional>

#include "host/host.h"
#include "sim/plist/tree.h"
#include "sim/plist/value.h"

namespace plist {

// The value a node hands over: scalars with their type, anything else
// kOther. A null node gives kOther too.
host::PreferenceValue preferenceValueOf(Node node);
// The tree value a deliverable's value stores; none for kOther, which names
// no storable value.
std::optional<Value> valueOf(const host::PreferenceValue& value);

}  // namespace plist
