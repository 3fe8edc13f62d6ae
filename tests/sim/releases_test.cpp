// A CoreFoundation version plays the newest named release at or below it.
#include <gtest/gtest.h>

#include "host/releases.h"

namespace {

TEST(Releases, AVersionPlaysTheNewestReleaseAtOrBelowIt) {
  EXPECT_EQ(host::releaseOf(1).name, "3.0") << "below every release: the oldest";
  EXPECT_EQ(host::releaseOf(847.19).name, "6.0");
  EXPECT_EQ(host::releaseOf(847.2).name, "7.0");
  EXPECT_EQ(host::releaseOf(1500).name, "11.4");
  EXPECT_EQ(host::releaseOf(1e9).name, "14.5");
  static_assert(host::coreFoundationOf("14.0") == 1751.108);
  EXPECT_EQ(host::findRelease("14.1"), nullptr);
}

}  // namespace
