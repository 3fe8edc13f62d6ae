// GraphicsServices' backlight function, in a library of its own that only
// the releases exporting it load.
#include "sim/frameworks/brightness.h"
#include "sim/journal.h"
#include "sim/journal_text.h"
#include "adapter/include/GraphicsServices.h"

extern "C" void GSEventSetBacklightLevel(float level) {
  sim::journal("GSEventSetBacklightLevel()", sim::journalNumber(level));
  standin::recordBrightness(standin::kBacklight, level);
}
