// What the brightness functions' libraries (plain C++, loaded only on the
// releases that export them) ask of the frameworks.
#pragma once

namespace standin {

// A level passed to GSEventSetBacklightLevel, or to BKSDisplayBrightnessSet
// with 1 as its second argument: recorded as passed, and shown by the panel.
enum BrightnessFunction { kBacklight, kDisplayBrightness };
void recordBrightness(BrightnessFunction function, float level);
// The screen's brightness now, without a call the journal would record.
double screenBrightness();

}  // namespace standin
