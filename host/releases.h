// The iOS releases known by name, each with its CoreFoundation version
// (kCFCoreFoundationVersionNumber), and the thresholds the
// behaviour compares the running host's version against. Every version
// number of the project is written here and nowhere else: a new release is
// one line of kReleases, a moved threshold one name below. Header-only and
// standard C++, so that the deliverables, the adapter and the simulated
// platform all read the same table.
#pragma once

#include <string_view>

namespace host {

struct Release {
  std::string_view name;  // "9.0"
  double coreFoundation;
};

// Oldest first, one release a line, each version with at least two decimals
// (the build reads the lines to walk every release; the simulator prints
// versions the same way).
inline constexpr Release kReleases[] = {
    {"3.0", 478.47},
    {"4.0", 550.32},
    {"5.0", 675.00},
    {"6.0", 793.00},
    {"7.0", 847.20},
    {"7.1", 847.26},
    {"8.0", 1140.10},
    {"8.4", 1145.15},
    {"9.0", 1240.10},
    {"9.3", 1280.30},
    {"10.0", 1348.00},
    {"10.3", 1349.56},
    {"11.0", 1443.00},
    {"11.4", 1452.23},
    {"12.0", 1556.00},
    {"12.4", 1575.17},
    {"13.0", 1665.15},
    {"13.5", 1676.104},
    {"14.0", 1751.108},
    {"14.5", 1775.118},
};

// The position of the release named `name` in kReleases, or -1 when none
// has that name.
constexpr int indexOfRelease(std::string_view name) {
  int index = 0;
  for (const Release& release : kReleases) {
    if (release.name == name) return index;
    ++index;
  }
  return -1;
}

// The release named `name`, or null when none is.
constexpr const Release* findRelease(std::string_view name) {
  const int index = indexOfRelease(name);
  return index < 0 ? nullptr : &kReleases[index];
}

// The CoreFoundation version of the release named `name`. A name the table
// lacks does not compile.
consteval double coreFoundationOf(std::string_view name) {
  const int index = indexOfRelease(name);
  if (index < 0) throw "no release of that name in host::kReleases";
  return kReleases[index].coreFoundation;
}

// The newest release at or below `version`, or the oldest for a version
// below them all: a version between two releases plays the older one.
constexpr const Release& releaseOf(double version) {
  const Release* found = &kReleases[0];
  for (const Release& release : kReleases)
    if (!(version < release.coreFoundation)) found = &release;
  return *found;
}

// ---- thresholds: at or above each, the host has what the name says.

// A workspace (SBWorkspace) instead of display stacks.
inline constexpr double kWorkspaceVersion = coreFoundationOf("6.0");
// SpringBoard's front display change takes the new display as its argument.
inline constexpr double kFrontDisplayArgumentVersion = coreFoundationOf("7.0");
// SpringBoard names the application in front itself; the workspace no
// longer reaches it.
inline constexpr double kFrontMostVersion = coreFoundationOf("8.0");
// The preferences daemon caches each preferences domain and writes its file
// when it likes.
inline constexpr double kPreferencesDaemonVersion = coreFoundationOf("8.0");
// UIAlertView is not known to work inside SpringBoard: the switch's menu is
// an alert controller.
inline constexpr double kAlertControllerVersion = coreFoundationOf("14.0");

}  // namespace host
