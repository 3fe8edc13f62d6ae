// A fresh simulated device root for one test, removed afterwards.
#pragma once

#include <string>

#include "sim/device.h"

namespace testing_support {

class TempRoot {
 public:
  // Creates an empty folder; with `populate`, copies in the built
  // deliverables as an installed device has them.
  explicit TempRoot(bool populate = false);
  ~TempRoot();
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;

  const std::string& path() const { return path_; }
  // The host path of a device path inside this root.
  std::string host(const std::string& devicePath) const;
  // Writes `bytes` at a device path, creating folders.
  void put(const std::string& devicePath, const std::string& bytes) const;
  // The bytes at a device path, or "<absent>".
  std::string get(const std::string& devicePath) const;

 private:
  std::string path_;
};

// Boot options for `root` that load none of the deliverables.
sim::BootOptions bareBoot(const TempRoot& root);
// Boot options for `root` that load the deliverables found in it.
sim::BootOptions fullBoot(const TempRoot& root);

}  // namespace testing_support
