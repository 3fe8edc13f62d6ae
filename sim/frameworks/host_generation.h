// How the stand-ins make a host generation: which classes and methods exist
// is decided once, at boot, by the release's CoreFoundation version.
#pragma once

#include <cmath>
#include <span>

#include "sim/frameworks/platform.h"

namespace standin::generation {

using standin::kIOS14;
using standin::kIOS6;
using standin::kIOS7;
using standin::kIOS8;
using standin::kIOS9;
inline constexpr double kAlways = INFINITY;

// A class the releases from `from` up to (not including) `until` have, made
// as a subclass of `base`; or, with a selector, a method of that class ('+'
// for a class method) whose implementation is taken from the class `source`.
struct Offer {
  const char* className;
  double from;
  double until;
  const char* base;
  const char* selector = nullptr;
  const char* source = nullptr;
};

// Makes the classes and methods of `offers` that the release at `version`
// has, in order: each class before its methods.
void makeClasses(double version, std::span<const Offer> offers);
void makeSpringBoardClasses(double version);
void makeUIKitClasses(double version);

}  // namespace standin::generation
