#include "sim/generations.h"

#include "sim/offers.h"
#include "sim/runtime.h"

namespace sim {

void offerGeneration(const BootOptions& options) {
  const bool springBoard = bundleIdentifierFor(options.process) == "com.apple.springboard";
  // The classes each process has, whatever their methods.
  for (const char* name : {"UIScreen", "UIKeyboard", "UIAlertView", "UIApplication", "NSURL"}) defineClass(name);
  for (const Offer& offer : offers()) {
    if (!offerAt(offer, options.coreFoundationVersion, springBoard)) continue;
    switch (offer.kind) {
      case OfferKind::kFunction:
        exportFunction(offer.name);
        break;
      case OfferKind::kClassMethod:
        offerClassMethod(defineClass(offer.owner), offer.name);
        break;
      case OfferKind::kMethod:
        offerMethod(defineClass(offer.owner), offer.name);
        break;
      case OfferKind::kFramework:
        // Loaded from the device root like any installed package.
        break;
    }
  }
}

}  // namespace sim
