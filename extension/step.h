// One press's arithmetic, written once for both widths of the host's CGFloat
// (float on 32-bit hosts, double on 64-bit ones).
#pragma once

#include <cstdint>

// The change one press makes, formed in single precision: status 0 steps up,
// any other status down; force mode makes the step five times larger.
inline float stepChange(std::int32_t status, bool forceMode, float step) {
  if (status == 0) return forceMode ? step * 5.0f : step;
  return forceMode ? step * -5.0f : -step;
}

// The backlight level after one press: the change added to the brightness in
// the host's width, narrowed to single precision. Not clamped.
template <class CGFloat>
float steppedLevel(CGFloat brightness, float change) {
  return static_cast<float>(brightness + static_cast<CGFloat>(change));
}
