// Conversions between host.h's preference values and the platform's
// property-list objects.
#pragma once

#import <Foundation/Foundation.h>

#include <span>
#include <string_view>

#include "host/host.h"

namespace adapter {

// The host value of a property-list object: a boolean, an integer, a real or
// a string keeps its type; every other object is kOther.
host::PreferenceValue preferenceValue(id object);

// An autoreleased string of the UTF-8 bytes, nil when they are not UTF-8.
NSString* stringOfBytes(std::string_view utf8);

// Changes as the platform takes them: the keys to set with their values, and
// the keys to remove.
struct KeyChanges {
  NSMutableDictionary* toSet;
  NSMutableArray* toRemove;
};
// The changes as autoreleased platform objects, or false when one of them
// has no property-list form (a kOther value, a key or text that is not
// UTF-8, an integer that is not a whole number within 64 bits).
bool keyChanges(std::span<const host::PreferenceChange> changes, KeyChanges& out);

// The values of `keys` in `values`, in the order asked; none where a key is
// absent.
std::vector<std::optional<host::PreferenceValue>> valuesOf(NSDictionary* values,
                                                           std::span<const std::string_view> keys);

}  // namespace adapter
