#include "switch/settings_link.h"

#include "settings/lookup.h"
#include "switch/menu.h"

namespace lumivo {

const char* settingsPaneLink() {
  const bool showTweaks = settings::Lookup::readFile(kOrganiserPath).boolean(kShowTweaksKey).value_or(false);
  return showTweaks ? kTweaksPaneLink : kPaneLink;
}

}  // namespace lumivo
