// What each release of the simulated iOS offers the deliverables: every
// class method, method and C function they may use, and the frameworks they
// plug into, with the runs of releases (host/releases.h, by name) that have
// it, in which processes, and the evidence for each run (class dumps of
// each release, SDK exports). The simulated iOS makes exactly what this
// table offers; `host`, `--help` and the README's release table are printed
// from it.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace sim {

// The release the simulator plays unless told otherwise.
inline constexpr std::string_view kDefaultRelease = "9.0";

enum class OfferKind { kClassMethod, kMethod, kFunction, kFramework };
enum class OfferProcess { kSpringBoard, kApplications, kEveryProcess };
// Seen in that release's class dump or exports; inferred from the releases
// on either side; unknown: no evidence either way, offered as the nearest
// release with evidence.
enum class Evidence { kSeen, kInferred, kUnknown };

// Releases `first` to `last` (names, both included) with one kind of
// evidence.
struct Run {
  const char* first = nullptr;  // null: no run
  const char* last = nullptr;
  Evidence evidence = Evidence::kSeen;
};

// One operation in the processes `process`, offered on its runs (oldest
// first, apart) and on no other release.
struct Offer {
  OfferKind kind;
  const char* owner;  // the class; null for a function or a framework
  const char* name;   // the selector, function or framework
  OfferProcess process;
  Run runs[4];
};

// Every row, in a fixed order. Frameworks are packages the user installs:
// the simulated iOS carries them on every release, and their rows hold
// the evidence that they work there.
std::span<const Offer> offers();

// The run of `offer` that holds the release the host at CoreFoundation
// `version` plays (host::releaseOf), when the row is offered to SpringBoard
// (`springBoard`) or to another process; null when it is not offered there.
const Run* offerAt(const Offer& offer, double version, bool springBoard);

// The operation as `host` lists it and the journal names it: "+[Class
// selector]", "-[Class selector]", "Function()", or the framework's name.
std::string operationName(const Offer& offer);

}  // namespace sim
