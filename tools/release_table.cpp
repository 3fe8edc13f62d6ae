// lumivo-release-table: the README's table of host releases, printed from
// the releases (host/releases.h) and the offer table (sim/offers.h), or
// checked against the README. Each column is a feature, each cell the
// source the feature takes on that release inside SpringBoard, marked with
// the weakest evidence of the operations that source needs. Consecutive
// releases with the same cells share a row.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "host/releases.h"
#include "sim/offers.h"
#include "tools/numbers.h"

namespace {

constexpr char kBegin[] = "<!-- The release table, printed by lumivo-release-table: edit sim/offers.cpp, not this. -->";
constexpr char kEnd[] = "<!-- End of the release table. -->";

// One way to a feature: the operations it needs, all of them offered.
struct Source {
  const char* label;
  std::vector<std::string_view> operations;
};
// A feature takes the first of its sources the release offers.
struct Feature {
  const char* column;
  std::vector<Source> sources;
};

const std::vector<Feature>& features() {
  static const std::vector<Feature> features = {
      {"step",
       {{"GSEvent",
         {"GSEventSetBacklightLevel()", "+[UIScreen mainScreen]", "-[UIScreen brightness]", "the event framework"}},
        {"BackBoard",
         {"BKSDisplayBrightnessSet()", "+[UIScreen mainScreen]", "-[UIScreen brightness]", "the event framework"}}}},
      {"switch", {{"yes", {"the toggle framework"}}}},
      {"menu",
       {{"alert view",
         {"-[UIAlertView initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:]", "-[UIAlertView show]"}},
        {"alert controller",
         {"+[UIAlertController alertControllerWithTitle:message:preferredStyle:]", "-[UIAlertController addAction:]",
          "+[UIAlertAction actionWithTitle:style:handler:]"}}}},
      {"link",
       {{"yes", {"-[UIApplication openURL:]", "-[SpringBoard applicationOpenURL:]"}},
        {"yes", {"-[UIApplication openURL:]"}}}},
      {"per-application",
       {{"display stacks", {"-[SBDisplayStack topApplication]", "-[SpringBoard frontDisplayDidChange]"}},
        {"workspace", {"-[SBWorkspace bksWorkspace]", "-[BKSWorkspace topApplication]"}},
        {"front-most",
         {"-[SpringBoard _accessibilityFrontMostApplication]", "-[SBApplication bundleIdentifier]",
          "-[SpringBoard frontDisplayDidChange:]"}}}},
      {"lock",
       {{"away controller", {"+[SBAwayController sharedAwayController]", "-[SBAwayController isLocked]"}},
        {"lock screen manager", {"+[SBLockScreenManager sharedInstance]", "-[SBLockScreenManager isUILocked]"}}}},
      {"keyboard", {{"yes", {"+[UIKeyboard isOnScreen]"}}}},
  };
  return features;
}

bool knownOperation(std::string_view operation) {
  const auto rows = sim::offers();
  return std::any_of(rows.begin(), rows.end(),
                     [&](const sim::Offer& offer) { return sim::operationName(offer) == operation; });
}

// The evidence SpringBoard at `version` has for `operation`; false when it
// is not offered.
bool evidenceFor(std::string_view operation, double version, sim::Evidence* evidence) {
  for (const sim::Offer& offer : sim::offers())
    if (const sim::Run* run = sim::offerAt(offer, version, true); run && sim::operationName(offer) == operation) {
      *evidence = run->evidence;
      return true;
    }
  return false;
}

std::string cell(const Feature& feature, double version) {
  for (const Source& source : feature.sources) {
    sim::Evidence weakest = sim::Evidence::kSeen, evidence;
    bool offered = true;
    for (std::string_view operation : source.operations) {
      offered = offered && evidenceFor(operation, version, &evidence);
      if (offered) weakest = std::max(weakest, evidence);
    }
    if (!offered) continue;
    const std::string label = source.label;
    switch (weakest) {
      case sim::Evidence::kSeen:
        return label;
      case sim::Evidence::kInferred:
        return label + "*";
      case sim::Evidence::kUnknown:
        return label == "yes" ? "unknown" : label + " (unknown)";
    }
  }
  return "no";
}

std::string table() {
  std::string out = std::string(kBegin) + "\n| iOS | CoreFoundation |";
  std::string rule = "|---|---|";
  for (const Feature& feature : features()) {
    out += std::string(" ") + feature.column + " |";
    rule += "---|";
  }
  out += "\n" + rule + "\n";
  const auto rowOf = [](const host::Release& release) {
    std::string row;
    for (const Feature& feature : features()) row += " " + cell(feature, release.coreFoundation) + " |";
    return row;
  };
  for (auto first = std::begin(host::kReleases); first != std::end(host::kReleases);) {
    const std::string cells = rowOf(*first);
    auto last = first;
    while (std::next(last) != std::end(host::kReleases) && rowOf(*std::next(last)) == cells) ++last;
    std::string names(first->name), versions = tools::formatVersion(first->coreFoundation);
    if (last != first) {
      names += "–" + std::string(last->name);
      versions += "–" + tools::formatVersion(last->coreFoundation);
    }
    out += "| " + names + " | " + versions + " |" + cells + "\n";
    first = std::next(last);
  }
  return out + kEnd + "\n";
}

// The lines of `path` from kBegin to kEnd, both included; empty when it has
// none.
std::string tableIn(const std::string& path, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = "cannot read " + path;
    return {};
  }
  std::string found, line;
  bool inside = false;
  while (std::getline(in, line)) {
    inside = inside || line == kBegin;
    if (inside) found += line + "\n";
    if (inside && line == kEnd) return found;
  }
  *error = path + " has no release table (a line \"" + kBegin + "\" and, below it, \"" + kEnd + "\")";
  return {};
}

constexpr char kUsage[] =
    "Usage: lumivo-release-table           print the README's release table (Markdown)\n"
    "       lumivo-release-table --check FILE\n"
    "                                      exit 1 unless FILE holds exactly that table\n";

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "-h" || args[0] == "--help")) {
    std::cout << kUsage;
    return 0;
  }
  if (!(args.empty() || (args.size() == 2 && args[0] == "--check"))) {
    std::cerr << kUsage;
    return 2;
  }
  for (const Feature& feature : features())
    for (const Source& source : feature.sources)
      for (std::string_view operation : source.operations)
        if (!knownOperation(operation)) {
          std::cerr << "lumivo-release-table: the offer table has no " << operation << "\n";
          return 2;
        }
  const std::string expected = table();
  if (args.empty()) {
    std::cout << expected;
    return 0;
  }
  std::string error;
  const std::string found = tableIn(args[1], &error);
  if (!error.empty()) {
    std::cerr << "lumivo-release-table: " << error << "\n";
    return 1;
  }
  if (found != expected) {
    std::cerr << "lumivo-release-table: the release table in " << args[1]
              << " is not the offer table's; replace it with:\n"
              << expected;
    return 1;
  }
  return 0;
}
