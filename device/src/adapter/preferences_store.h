// A preferences domain read and replaced through the preferences daemon, as
// whole property-list documents, so that host::readFile and
// host::replaceFile keep their meaning for the files the daemon owns.
#pragma once

#include <string>
#include <string_view>

namespace adapter {

// Fetches the domain's current values from the daemon as a binary property
// list. False, with `bytes` empty, when the domain holds no values.
bool readPreferences(const std::string& domain, std::string& bytes);
// Makes the domain hold exactly the dictionary `bytes` encodes (keys it lacks
// are removed) and waits until the daemon has it. False, changing nothing,
// when `bytes` is not a property list whose root is a dictionary.
bool replacePreferences(const std::string& domain, std::string_view bytes);

}  // namespace adapter
