// The offer table, from class dumps and SDK exports per major release. Each
// major release's evidence holds for every named release of that major one (7.0 and 7.1 alike). Where a
// release was not seen, the nearest evidence decides:
// - a cell inferred from the releases on either side follows them
//   (SBMainWorkspace, the identifier, the lock screen manager and the front
//   display change on 11 to 13);
// - GSEventSetBacklightLevel is known only from the iOS 11.4 export, with no
//   evidence on any later release: offered to 11.x and not from 12.0, where
//   BackBoardServices (exported on 11.4, seen again on 14, so inferred on 12
//   and 13) sets the backlight;
// - UIAlertView inside SpringBoard is unknown on 14, so there SpringBoard
//   offers none of its methods (other processes keep them), and the switch's
//   menu is an alert controller;
// - SpringBoard's applicationOpenURL: and the toggle framework on 14, and the
//   event framework after 14.2, are unknown and offered as on the release
//   before.
// Below iOS 7 the older hosts stand: display stacks (3 to 5) or a workspace
// (6), the lock screen's SBAwayController and the front display change
// without an argument.
#include "sim/offers.h"

#include "host/releases.h"

namespace sim {
namespace {

constexpr auto C = OfferKind::kClassMethod, M = OfferKind::kMethod, F = OfferKind::kFunction,
               FW = OfferKind::kFramework;
constexpr auto SB = OfferProcess::kSpringBoard, APPS = OfferProcess::kApplications,
               ALL = OfferProcess::kEveryProcess;
constexpr auto S = Evidence::kSeen, I = Evidence::kInferred, U = Evidence::kUnknown;
constexpr char kAlertInit[] = "initWithTitle:message:delegate:cancelButtonTitle:otherButtonTitles:";

constexpr Offer kOffers[] = {
    // The application in front.
    {M, "SBDisplayStack", "init", SB, {{"3.0", "5.0", S}}},
    {M, "SBDisplayStack", "dealloc", SB, {{"3.0", "5.0", S}}},
    {M, "SBDisplayStack", "topApplication", SB, {{"3.0", "5.0", S}}},
    {M, "SBWorkspace", "init", SB, {{"6.0", "8.4", S}}},
    {M, "SBWorkspace", "dealloc", SB, {{"6.0", "8.4", S}}},
    {M, "SBWorkspace", "bksWorkspace", SB, {{"6.0", "7.1", S}}},
    {M, "BKSWorkspace", "topApplication", SB, {{"6.0", "7.1", S}}},
    {M, "SBMainWorkspace", "init", SB, {{"9.0", "10.3", S}, {"11.0", "13.5", I}, {"14.0", "14.5", S}}},
    {M, "SBMainWorkspace", "dealloc", SB, {{"9.0", "10.3", S}, {"11.0", "13.5", I}, {"14.0", "14.5", S}}},
    {M, "SpringBoard", "_accessibilityFrontMostApplication", SB,
     {{"7.0", "10.3", S}, {"11.0", "12.4", I}, {"13.0", "14.5", S}}},
    {M, "SBApplication", "displayIdentifier", SB, {{"3.0", "7.1", S}}},
    {M, "SBApplication", "bundleIdentifier", SB, {{"7.0", "10.3", S}, {"11.0", "13.5", I}, {"14.0", "14.5", S}}},
    {M, "SpringBoard", "frontDisplayDidChange", SB, {{"3.0", "6.0", S}}},
    {M, "SpringBoard", "frontDisplayDidChange:", SB, {{"7.0", "11.4", S}, {"12.0", "12.4", I}, {"13.0", "14.5", S}}},
    // The lock screen.
    {C, "SBAwayController", "sharedAwayController", SB, {{"3.0", "6.0", S}}},
    {M, "SBAwayController", "isLocked", SB, {{"3.0", "6.0", S}}},
    {C, "SBLockScreenManager", "sharedInstance", SB, {{"7.0", "10.3", S}, {"11.0", "13.5", I}, {"14.0", "14.5", S}}},
    {M, "SBLockScreenManager", "isUILocked", SB, {{"7.0", "10.3", S}, {"11.0", "13.5", I}, {"14.0", "14.5", S}}},
    {M, "SpringBoard", "isLocked", SB, {{"7.0", "10.3", S}, {"11.0", "13.5", I}, {"14.0", "14.5", S}}},
    // The backlight, the screen and the keyboard.
    {F, nullptr, "GSEventSetBacklightLevel", ALL, {{"3.0", "6.0", S}, {"7.0", "11.4", I}}},
    {F, nullptr, "BKSDisplayBrightnessSet", ALL, {{"7.0", "11.4", S}, {"12.0", "13.5", I}, {"14.0", "14.5", S}}},
    {F, nullptr, "BKSDisplayBrightnessGetCurrent", ALL, {{"7.0", "11.4", S}, {"12.0", "13.5", I}, {"14.0", "14.5", S}}},
    {C, "UIScreen", "mainScreen", ALL, {{"3.0", "12.4", S}, {"13.0", "14.5", I}}},
    {M, "UIScreen", "brightness", ALL, {{"3.0", "12.4", S}, {"13.0", "14.5", I}}},
    {C, "UIKeyboard", "isOnScreen", ALL, {{"3.0", "6.0", I}, {"7.0", "12.4", S}, {"13.0", "13.5", I}, {"14.0", "14.5", S}}},
    // Alerts.
    {M, "UIAlertView", kAlertInit, SB, {{"3.0", "7.1", S}, {"8.0", "12.4", I}, {"13.0", "13.5", S}}},
    {M, "UIAlertView", "show", SB, {{"3.0", "7.1", S}, {"8.0", "12.4", I}, {"13.0", "13.5", S}}},
    {M, "UIAlertView", kAlertInit, APPS, {{"3.0", "14.5", S}}},
    {M, "UIAlertView", "show", APPS, {{"3.0", "14.5", S}}},
    {C, "UIAlertController", "alertControllerWithTitle:message:preferredStyle:", ALL,
     {{"8.0", "12.4", S}, {"13.0", "13.5", I}, {"14.0", "14.5", S}}},
    {M, "UIAlertController", "addAction:", ALL, {{"8.0", "12.4", S}, {"13.0", "13.5", I}, {"14.0", "14.5", S}}},
    {C, "UIAlertAction", "actionWithTitle:style:handler:", ALL,
     {{"8.0", "12.4", S}, {"13.0", "13.5", I}, {"14.0", "14.5", S}}},
    // Links.
    {C, "UIApplication", "sharedApplication", ALL, {{"3.0", "12.4", S}, {"13.0", "14.5", I}}},
    {M, "UIApplication", "openURL:", ALL, {{"3.0", "12.4", S}, {"13.0", "14.5", I}}},
    {M, "UIApplication", "openURL:options:completionHandler:", ALL, {{"10.0", "12.4", S}, {"13.0", "14.5", I}}},
    {C, "NSURL", "URLWithString:", ALL, {{"3.0", "14.5", S}}},
    {M, "SpringBoard", "applicationOpenURL:", SB,
     {{"7.0", "8.4", S}, {"9.0", "12.4", I}, {"13.0", "13.5", S}, {"14.0", "14.5", U}}},
    // The frameworks the deliverables plug into (rootful releases).
    {FW, nullptr, "the event framework", ALL, {{"3.0", "6.0", S}, {"7.0", "10.3", I}, {"11.0", "14.0", S}, {"14.5", "14.5", U}}},
    {FW, nullptr, "the toggle framework", ALL, {{"3.0", "6.0", S}, {"7.0", "10.3", I}, {"11.0", "13.5", S}, {"14.0", "14.5", U}}},
};

// The position of the release named `name` in host::kReleases; -1 for none.
constexpr int indexOf(const char* name) { return name ? host::indexOfRelease(name) : -1; }

constexpr bool sameOperation(const Offer& a, const Offer& b) {
  return a.kind == b.kind && std::string_view(a.owner ? a.owner : "") == (b.owner ? b.owner : "") &&
         std::string_view(a.name) == b.name;
}

constexpr bool processesMeet(OfferProcess a, OfferProcess b) {
  return a == b || a == OfferProcess::kEveryProcess || b == OfferProcess::kEveryProcess;
}

// Every run names releases of the table, oldest first and apart; no
// release is offered twice to one process.
constexpr bool wellFormed() {
  for (const Offer& offer : kOffers) {
    int after = -1;
    for (const Run& run : offer.runs) {
      if (!run.first) continue;
      const int first = indexOf(run.first), last = indexOf(run.last);
      if (first < 0 || last < first || first <= after) return false;
      after = last;
    }
    if (after < 0) return false;
  }
  for (const Offer& a : kOffers)
    for (const Offer& b : kOffers) {
      if (&a == &b || !sameOperation(a, b) || !processesMeet(a.process, b.process)) continue;
      for (const Run& x : a.runs)
        for (const Run& y : b.runs)
          if (x.first && y.first && !(indexOf(x.last) < indexOf(y.first) || indexOf(y.last) < indexOf(x.first)))
            return false;
    }
  return true;
}
static_assert(wellFormed(), "an offer names a release host::kReleases lacks, or offers a release twice");

bool offeredTo(OfferProcess process, bool springBoard) {
  switch (process) {
    case OfferProcess::kSpringBoard:
      return springBoard;
    case OfferProcess::kApplications:
      return !springBoard;
    case OfferProcess::kEveryProcess:
      return true;
  }
  return false;
}

}  // namespace

std::span<const Offer> offers() { return kOffers; }

const Run* offerAt(const Offer& offer, double version, bool springBoard) {
  if (!offeredTo(offer.process, springBoard)) return nullptr;
  const int release = static_cast<int>(&host::releaseOf(version) - host::kReleases);
  for (const Run& run : offer.runs)
    if (run.first && indexOf(run.first) <= release && release <= indexOf(run.last)) return &run;
  return nullptr;
}

std::string operationName(const Offer& offer) {
  switch (offer.kind) {
    case OfferKind::kClassMethod:
      return std::string("+[") + offer.owner + " " + offer.name + "]";
    case OfferKind::kMethod:
      return std::string("-[") + offer.owner + " " + offer.name + "]";
    case OfferKind::kFunction:
      return std::string(offer.name) + "()";
    case OfferKind::kFramework:
      break;
  }
  return offer.name;
}

}  // namespace sim
