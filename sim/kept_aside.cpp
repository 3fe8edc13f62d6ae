#include "sim/kept_aside.h"

namespace sim {
namespace {

KeptAside& noted() {
  static auto* kept = new KeptAside;
  return *kept;
}

}  // namespace

void noteKeptAside(const std::string& file, const std::string& keptAs, const std::string& why) {
  KeptAside& kept = noted();
  ++kept.count;
  kept.file = file;
  kept.keptAs = keptAs;
  kept.why = why;
}

const KeptAside& keptAside() { return noted(); }

}  // namespace sim
