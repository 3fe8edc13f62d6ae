// python3's plistlib as an independent reader and writer of property lists.
#pragma once

#include <string>

namespace testing_support {

// Runs a python3 snippet with `plistlib`, `datetime` and `sys` imported and
// returns what it printed. Fails the test when python3 fails.
std::string python(const std::string& code);
// plistlib's canonical text of the file at a host path: sorted keys, every
// value with its type. "<unreadable>" when plistlib rejects the file.
std::string plistlibDump(const std::string& hostFile);
// plistlib's text of one key of the file at a host path.
std::string plistlibValue(const std::string& hostFile, const std::string& key);

}  // namespace testing_support
