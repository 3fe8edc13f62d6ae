// The settings file the benchmarks read: the five settings and a number of
// per-application keys.
#pragma once

#include <string>

namespace bench {

// The file's bytes with `keys` per-application keys, in XML or, written by
// libplist as other writers on the device would, in the binary encoding.
std::string settingsFile(bool binary, int keys);

}  // namespace bench
