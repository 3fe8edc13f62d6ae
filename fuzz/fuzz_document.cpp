// The whole-dictionary read of any bytes, in any root type: never crashes,
// and what it accepts the writer writes back to the same values.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/property_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string fault = fuzz_checks::treeRoundTrips(bytes);
  if (!fault.empty()) {
    std::fprintf(stderr, "%s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
