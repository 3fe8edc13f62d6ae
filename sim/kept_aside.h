// Where the preferences writers put the files they could not read. A
// writer replaces such a file only after moving it aside, and the simulator
// tells its user the name the bytes are kept under.
#pragma once

#include <string>

namespace sim {

struct KeptAside {
  int count = 0;        // files kept aside by this process since it started
  std::string file;     // the latest one's device path,
  std::string keptAs;   // the device path its bytes now lie at,
  std::string why;      // and why it could not be read
};

// Notes that the file at `file`, unreadable for `why`, now lies at `keptAs`
// and a new file has taken its place.
void noteKeptAside(const std::string& file, const std::string& keptAs, const std::string& why);
const KeptAside& keptAside();

}  // namespace sim
