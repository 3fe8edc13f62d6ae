// The `host` command: the simulated host's release and what it offers.
#include "host/releases.h"
#include "sim/device.h"
#include "sim/device.h"
#include "tools/numbers.h"
#include "tools/session.h"

namespace tools {

Failure Session::showHost() {
  const double version = sim::bootOptions().coreFoundationVersion;
  out_ << "  host: iOS " << host::releaseOf(version).name << " (CoreFoundation " << formatVersion(version) << ")\n";
  for (const auto& operation : sim::offeredOperations()) out_ << "  " << operation << "\n";
  return std::nullopt;
}

}  // namespace tools
