// A preferences domain read and replaced through the preferences daemon, as
// whole property-list documents, so that host::readFile and
// host::replaceFile keep their meaning for the files the daemon owns.
#pragma once

#include <string>
#include <string_view>

#include "host/host.h"

namespace adapter {

// Fetches the domain's current values from the daemon as a binary property
// list: kRead with the bytes, kAbsent when the domain holds no values,
// kFailed when the values could not be written as a property list (a writer
// must then not replace them). `bytes` is empty unless the result is kRead.
host::FileRead readPreferences(const std::string& domain, std::string& bytes);
// Makes the domain hold exactly the dictionary `bytes` encodes (keys it lacks
// are removed) and waits until the daemon has it. False, changing nothing,
// when `bytes` is not a property list whose root is a dictionary.
bool replacePreferences(const std::string& domain, std::string_view bytes);

}  // namespace adapter
