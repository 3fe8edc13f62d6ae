// BackBoardServices' display brightness functions, in a library of its own
// that only the releases exporting them load.
#include <cstdint>

#include "sim/frameworks/brightness.h"
#include "sim/journal.h"
#include "sim/journal_text.h"

extern "C" void BKSDisplayBrightnessSet(float level, std::intptr_t unknown) {
  sim::journal("BKSDisplayBrightnessSet()", sim::journalNumber(level) + " " + std::to_string(unknown));
  if (unknown == 1) standin::recordBrightness(standin::kDisplayBrightness, level);
}

extern "C" float BKSDisplayBrightnessGetCurrent() {
  const float level = static_cast<float>(standin::screenBrightness());
  sim::journal("BKSDisplayBrightnessGetCurrent()", sim::journalNumber(level));
  return level;
}
