// What each host generation offers, from the class dumps of SpringBoard,
// UIKit and BackBoardServices of each release. Below iOS 7 the older models
// stand: display stacks (iOS 3-5) or a workspace (iOS 6), the lock screen's
// SBAwayController and the front display change without an argument.
//
// Where a release was not seen, the nearest evidence decides: cells
// inferred from the releases on either side (SBMainWorkspace, the
// identifier, the lock screen manager and front display change on 11-13)
// follow them; GSEventSetBacklightLevel is known only from the iOS 11.4
// export, so it is offered to 11.x and, since whether it still sets the
// backlight later is unknown, not from 12.0, where BackBoardServices (on
// every release) sets it; UIAlertView inside SpringBoard is unknown on 14,
// so there SpringBoard offers it none of its methods (other processes
// keep them); SpringBoard's applicationOpenURL: on 14 follows 13. Above
// 14.x the iOS 14 generation stands.
#include "sim/generations.h"

#include <algorithm>
#include <limits>

#include "sim/runtime.h"

namespace sim {
namespace {

constexpr Release kReleases[] = {
    {"3.0", 478.47},   {"4.0", 550.32},   {"5.0", 675.00},    {"6.0", 793.00},    {"7.0", 847.20},
    {"7.1", 847.26},   {"8.0", 1140.10},  {"8.4", 1145.15},   {"9.0", 1240.10},   {"9.3", 1280.30},
    {"10.0", 1348.00}, {"10.3", 1349.56}, {"11.0", 1443.00},  {"11.4", 1452.23},  {"12.0", 1556.00},
    {"12.4", 1575.17}, {"13.0", 1665.15}, {"13.5", 1676.104}, {"14.0", 1751.108}, {"14.5", 1775.118},
};

constexpr double kAlways = 0, kNever = std::numeric_limits<double>::infinity();
constexpr double kIOS6 = kWorkspaceVersion, kIOS7 = kIOS7Version, kIOS8 = kIOS8Version, kIOS9 = kIOS9Version,
                 kIOS10 = kIOS10Version, kIOS12 = kIOS12Version, kIOS14 = kIOS14Version;

enum class Kind { kClassMethod, kMethod, kFunction };
enum class Where { kSpringBoard, kEveryProcess, kApplications };

// One operation, offered from `from` up to, not including, `until`.
struct Offer {
  Kind kind;
  const char* owner;  // the class; null for a function
  const char* name;
  double from, until;
  Where where;
};

constexpr auto M = Kind::kMethod, C = Kind::kClassMethod, F = Kind::kFunction;
constexpr auto SB = Where::kSpringBoard, ALL = Where::kEveryProcess, APPS = Where::kApplications;
constexpr char kAlertInit[] = "initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:";

constexpr Offer kOffers[] = {
    // The application in front.
    {M, "SBDisplayStack", "init", kAlways, kIOS6, SB},
    {M, "SBDisplayStack", "dealloc", kAlways, kIOS6, SB},
    {M, "SBDisplayStack", "topApplication", kAlways, kIOS6, SB},
    {M, "SBWorkspace", "init", kIOS6, kIOS9, SB},
    {M, "SBWorkspace", "dealloc", kIOS6, kIOS9, SB},
    {M, "SBWorkspace", "bksWorkspace", kIOS6, kIOS8, SB},
    {M, "BKSWorkspace", "topApplication", kIOS6, kIOS8, SB},
    {M, "SBMainWorkspace", "init", kIOS9, kNever, SB},
    {M, "SBMainWorkspace", "dealloc", kIOS9, kNever, SB},
    {M, "SpringBoard", "_accessibilityFrontMostApplication", kIOS7, kNever, SB},
    {M, "SBApplication", "displayIdentifier", kAlways, kIOS8, SB},
    {M, "SBApplication", "bundleIdentifier", kIOS7, kNever, SB},
    {M, "SpringBoard", "frontDisplayDidChange", kAlways, kIOS7, SB},
    {M, "SpringBoard", "frontDisplayDidChange:", kIOS7, kNever, SB},
    // The lock screen.
    {C, "SBAwayController", "sharedAwayController", kAlways, kIOS7, SB},
    {M, "SBAwayController", "isLocked", kAlways, kIOS7, SB},
    {C, "SBLockScreenManager", "sharedInstance", kIOS7, kNever, SB},
    {M, "SBLockScreenManager", "isUILocked", kIOS7, kNever, SB},
    {M, "SpringBoard", "isLocked", kIOS7, kNever, SB},
    // The backlight, the screen and the keyboard.
    {F, nullptr, "GSEventSetBacklightLevel", kAlways, kIOS12, ALL},
    {F, nullptr, "BKSDisplayBrightnessSet", kIOS7, kNever, ALL},
    {F, nullptr, "BKSDisplayBrightnessGetCurrent", kIOS7, kNever, ALL},
    {C, "UIScreen", "mainScreen", kAlways, kNever, ALL},
    {M, "UIScreen", "brightness", kAlways, kNever, ALL},
    {C, "UIKeyboard", "isOnScreen", kAlways, kNever, ALL},
    // Alerts.
    {M, "UIAlertView", kAlertInit, kAlways, kIOS14, ALL},
    {M, "UIAlertView", "show", kAlways, kIOS14, ALL},
    {M, "UIAlertView", kAlertInit, kIOS14, kNever, APPS},
    {M, "UIAlertView", "show", kIOS14, kNever, APPS},
    {C, "UIAlertController", "alertControllerWithTitle:message:preferredStyle:", kIOS8, kNever, ALL},
    {M, "UIAlertController", "addAction:", kIOS8, kNever, ALL},
    {C, "UIAlertAction", "actionWithTitle:style:handler:", kIOS8, kNever, ALL},
    // Links.
    {C, "UIApplication", "sharedApplication", kAlways, kNever, ALL},
    {M, "UIApplication", "openURL:", kAlways, kNever, ALL},
    {M, "UIApplication", "openURL:options:completionHandler:", kIOS10, kNever, ALL},
    {C, "NSURL", "URLWithString:", kAlways, kNever, ALL},
    {M, "SpringBoard", "applicationOpenURL:", kIOS7, kNever, SB},
};

bool offeredIn(const Offer& offer, double version, bool springBoard) {
  if (version < offer.from || !(version < offer.until)) return false;
  switch (offer.where) {
    case Where::kSpringBoard:
      return springBoard;
    case Where::kApplications:
      return !springBoard;
    case Where::kEveryProcess:
      return true;
  }
  return false;
}

}  // namespace

std::span<const Release> namedReleases() { return kReleases; }

const Release& releaseOf(double version) {
  auto it = std::upper_bound(std::begin(kReleases), std::end(kReleases), version,
                             [](double v, const Release& r) { return v < r.coreFoundation; });
  return it == std::begin(kReleases) ? kReleases[0] : *(it - 1);
}

void offerGeneration(const BootOptions& options) {
  const bool springBoard = bundleIdentifierFor(options.process) == "com.apple.springboard";
  // The classes each process has, whatever their methods.
  for (const char* name : {"UIScreen", "UIKeyboard", "UIAlertView", "UIApplication", "NSURL"}) defineClass(name);
  for (const Offer& offer : kOffers) {
    if (!offeredIn(offer, options.coreFoundationVersion, springBoard)) continue;
    switch (offer.kind) {
      case Kind::kFunction:
        exportFunction(offer.name);
        break;
      case Kind::kClassMethod:
        offerClassMethod(defineClass(offer.owner), offer.name);
        break;
      case Kind::kMethod:
        offerMethod(defineClass(offer.owner), offer.name);
        break;
    }
  }
}

}  // namespace sim
