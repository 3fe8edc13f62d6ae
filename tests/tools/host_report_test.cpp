// `host` lists, for SpringBoard and for another process on each named
// release, exactly what the offer table gives that process there.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "host/releases.h"
#include "sim/offers.h"
#include "tests/support/temp_root.h"
#include "tools/numbers.h"
#include "tools/session.h"

namespace tools {
namespace {

TEST(HostReport, EachReleaseListsExactlyWhatTheOfferTableGivesEachProcess) {
  testing_support::TempRoot root;
  for (const host::Release& release : host::kReleases) {
    for (const char* process : {"SpringBoard", "Preferences"}) {
      std::ostringstream out;
      Session session(out);
      session.boot({root.path(), process, release.coreFoundation});
      session.showHost();
      std::istringstream lines(out.str());
      std::string header, line;
      std::getline(lines, header);
      EXPECT_EQ(header, "  host: iOS " + std::string(release.name) + " (CoreFoundation " +
                            formatVersion(release.coreFoundation) + ")");
      std::set<std::string> listed, expected;
      while (std::getline(lines, line)) listed.insert(line.substr(2));
      for (const sim::Offer& offer : sim::offers())
        if (offer.kind != sim::OfferKind::kFramework &&
            sim::offerAt(offer, release.coreFoundation, std::string(process) == "SpringBoard"))
          expected.insert(sim::operationName(offer));
      EXPECT_EQ(listed, expected) << release.name << " " << process;
    }
  }
}

}  // namespace
}  // namespace tools
