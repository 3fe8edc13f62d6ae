// `host` lists, for SpringBoard and for another process on each named
// release, exactly what the offer table gives that process there, as the
// booted process's runtime answers: each class method, method and function
// made, and none other.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
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

// Boots `process` at `release` in this process and compares; true when the
// listing is the table's.
bool listsTheTable(const std::string& root, const host::Release& release, const std::string& process) {
  std::ostringstream out;
  Session session(out);
  session.boot({root, process, release.coreFoundation});
  session.showHost();
  std::istringstream lines(out.str());
  std::string header, line;
  std::getline(lines, header);
  EXPECT_EQ(header, "  host: iOS " + std::string(release.name) + " (CoreFoundation " +
                        formatVersion(release.coreFoundation) + ")");
  std::set<std::string> listed, expected;
  while (std::getline(lines, line)) listed.insert(line.substr(2));
  for (const sim::Offer& offer : sim::offers())
    if (offer.kind != sim::OfferKind::kFramework && sim::offerAt(offer, release.coreFoundation, process == "SpringBoard"))
      expected.insert(sim::operationName(offer));
  EXPECT_EQ(listed, expected) << release.name << " " << process;
  return !::testing::Test::HasFailure();
}

TEST(HostReport, EachReleaseListsExactlyWhatTheOfferTableGivesEachProcess) {
  testing_support::TempRoot root;
  // A process boots once: each release and process is a process of its own.
  for (const host::Release& release : host::kReleases)
    for (const char* process : {"SpringBoard", "Preferences"}) {
      const pid_t child = fork();
      if (child == 0) {
        const bool listed = listsTheTable(root.path(), release, process);
        std::fflush(stdout);
        _exit(listed ? 0 : 1);
      }
      int status = -1;
      waitpid(child, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << release.name << " " << process;
    }
}

}  // namespace
}  // namespace tools
