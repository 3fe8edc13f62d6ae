// Replays every input the fuzz targets ever failed on (fuzz/regressions/),
// and every seed, through the properties the targets check.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/property_checks.h"

namespace {

namespace fs = std::filesystem;

TEST(FuzzRegressions, EveryKeptInputHoldsEveryProperty) {
  int inputs = 0;
  for (const char* folder : {"/fuzz/regressions", "/fuzz/seeds"}) {
    const fs::path path = fs::path(LUMIVO_SOURCE_DIR) / (folder + 1);
    if (!fs::exists(path)) continue;
    for (const auto& entry : fs::directory_iterator(path)) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      EXPECT_EQ(fuzz_checks::lookupAgreesWithDocument(bytes.str()), "") << entry.path();
      EXPECT_EQ(fuzz_checks::treeRoundTrips(bytes.str()), "") << entry.path();
      EXPECT_EQ(fuzz_checks::toggleKeepsOtherKeys(bytes.str()), "") << entry.path();
      ++inputs;
    }
  }
  EXPECT_GT(inputs, 0);
}

}  // namespace
