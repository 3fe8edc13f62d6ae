// Foundation's property-list reading and dictionary file methods on the
// simulated platform: GNUstep's classes keep their interface, but parse,
// write and reach the device's files with the platform's own property-list
// code (sim/plist) inside the device root.
#pragma once

#import <Foundation/Foundation.h>

#include <optional>

#include "sim/plist/tree.h"
#include "sim/plist/value.h"

namespace standin {

// Replaces, in GNUstep's own classes,
// +[NSPropertyListSerialization propertyListWithData:options:format:error:],
// -[NSDictionary writeToFile:atomically:] and
// +[NSDictionary dictionaryWithContentsOfFile:]. The reads take every
// encoding the platform reads, within its limits (sim/plist/limits.h); a
// write goes in the XML form to the device path of the file (a path outside
// the device root is refused), replacing it atomically without following a
// link, and consumes an injected write fault. Each call is journaled. Only
// the first call does anything.
void installFoundationFileMethods();

// The Foundation object of a property-list value, autoreleased: booleans as
// Foundation's two shared boolean numbers, a keyed-archive reference as the
// dictionary {"CF$UID": n} the XML form writes. With `mutableContainers`,
// arrays and dictionaries are mutable. Nil for a null node.
id objectOf(plist::Node node, bool mutableContainers);
// The property-list value of a Foundation object, a dictionary's keys in
// sorted order; none when it holds something a property list cannot (a key
// that is not a string, an object of another class, nesting deeper than
// plist::kMaxDepth).
std::optional<plist::Value> valueOf(id object);

}  // namespace standin
