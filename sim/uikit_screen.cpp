// The simulated screen, keyboard and backlight: UIScreen's brightness,
// UIKeyboard's visibility, and the backlight level set through
// GraphicsServices or BackBoardServices, where the host exports them. The
// panel shows a level clamped to 0...1, while every level set is recorded
// as it was passed. A device boots at brightness 0.5 with the keyboard
// hidden.
#include <cmath>

#include "host/host.h"
#include "sim/boot_steps.h"
#include "sim/journal.h"
#include "sim/journal_text.h"
#include "sim/object_cast.h"
#include "sim/uikit.h"

namespace sim {
namespace {

struct Screen : host::Object {
  using Object::Object;
};

struct ScreenModel {
  Id mainScreen = nullptr;
  double brightness = 0.5;
  bool keyboardShown = false;
  std::vector<float> backlightLevels;
};

ScreenModel& screenModel() {
  static auto* model = new ScreenModel;
  return *model;
}

// What the panel can show of a level.
double panelLevel(double level) {
  if (std::isnan(level)) return 0;
  return std::fmin(1.0, std::fmax(0.0, level));
}

// A level reaches the panel.
void setPanel(float level) {
  auto& m = screenModel();
  m.backlightLevels.push_back(level);
  m.brightness = panelLevel(level);
}

}  // namespace

void uikitDefine(const BootOptions& options) {
  auto& m = screenModel();
  m = ScreenModel{};
  Class* screenClass = defineClass("UIScreen");
  if (!options.noMainScreen) m.mainScreen = allocInit<Screen>(screenClass);
}

void setScreenBrightness(double brightness) { screenModel().brightness = panelLevel(brightness); }

double screenBrightnessNow() { return screenModel().brightness; }

void setKeyboardOnScreen(bool shown) { screenModel().keyboardShown = shown; }

bool keyboardOnScreen() { return screenModel().keyboardShown; }

const std::vector<float>& backlightLevels() { return screenModel().backlightLevels; }

}  // namespace sim

namespace host {

bool keyboardIsOnScreen() {
  const bool shown =
      sim::hasClassMethod(sim::findClass("UIKeyboard"), "isOnScreen") && sim::screenModel().keyboardShown;
  sim::journal("keyboardIsOnScreen", sim::journalText(shown));
  return shown;
}

Id screenMain() {
  Id screen = sim::screenModel().mainScreen;
  sim::journal("screenMain", screen ? "UIScreen" : "(null)");
  return screen;
}

CGFloat screenBrightness(Id screen) {
  const CGFloat brightness =
      sim::objectAs<sim::Screen>(screen) ? static_cast<CGFloat>(sim::screenModel().brightness) : 0;
  sim::journal("screenBrightness", sim::journalNumber(brightness));
  return brightness;
}

bool setBacklightLevel(float level) {
  if (!sim::hasFunction("GSEventSetBacklightLevel")) {
    sim::journal("setBacklightLevel", sim::journalNumber(level) + " (no such function)");
    return false;
  }
  sim::journal("setBacklightLevel", sim::journalNumber(level));
  sim::setPanel(level);
  return true;
}

bool displayBrightnessSet(float level) {
  if (!sim::hasFunction("BKSDisplayBrightnessSet")) {
    sim::journal("displayBrightnessSet", sim::journalNumber(level) + " (no such function)");
    return false;
  }
  sim::journal("displayBrightnessSet", sim::journalNumber(level));
  sim::setPanel(level);
  return true;
}

}  // namespace host
