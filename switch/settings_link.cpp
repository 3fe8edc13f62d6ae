#include "switch/settings_link.h"

#include "settings/document.h"
#include "switch/menu.h"

namespace lumivo {

const char* settingsPaneLink() {
  const bool showTweaks = settings::Document::readFile(kOrganiserPath).boolean(kShowTweaksKey).value_or(false);
  return showTweaks ? kTweaksPaneLink : kPaneLink;
}

}  // namespace lumivo
