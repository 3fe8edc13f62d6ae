// The simulated platform's look-up on any bytes: never crashes, and hands
// over exactly the keys and values the whole-dictionary reader reads.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/property_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string fault = fuzz_checks::lookupAgreesWithDocument(bytes);
  if (!fault.empty()) {
    std::fprintf(stderr, "%s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
