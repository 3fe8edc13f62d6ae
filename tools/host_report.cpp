// The `host` command: the simulated host's release and what it offers.
#include "sim/device.h"
#include "sim/generations.h"
#include "sim/runtime.h"
#include "tools/numbers.h"
#include "tools/session.h"

namespace tools {

Failure Session::showHost() {
  const double version = sim::bootOptions().coreFoundationVersion;
  out_ << "  host: iOS " << sim::releaseOf(version).name << " (CoreFoundation " << formatReal(version) << ")\n";
  for (const auto& operation : sim::offeredOperations()) out_ << "  " << operation << "\n";
  return std::nullopt;
}

}  // namespace tools
