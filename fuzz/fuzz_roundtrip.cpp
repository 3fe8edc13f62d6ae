// The switch's read-modify-write on any bytes: the toggle is written and
// every other key keeps its value.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/property_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string fault = fuzz_checks::toggleKeepsOtherKeys(bytes);
  if (!fault.empty()) {
    std::fprintf(stderr, "%s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
