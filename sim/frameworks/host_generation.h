// How the simulated frameworks make a host generation: which classes,
// methods and functions exist is decided once, at boot, by the offer table
// (sim/offers.h) for the booted process (SpringBoard or another), at the
// release's CoreFoundation version.
#pragma once

#include <cmath>
#include <span>

namespace standin::generation {

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

// A class the stand-ins make at boot on the releases that offer any of its
// methods: a subclass of `base` (which may carry state the methods use),
// given each offered method, and only those, from `source`.
struct MadeClass {
  const char* className;
  const char* base;
  const char* source;
};

// The classes each framework's stand-ins make.
std::span<const MadeClass> springBoardClasses();
std::span<const MadeClass> uikitClasses();

}  // namespace standin::generation
