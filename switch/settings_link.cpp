#include "switch/settings_link.h"

#include "settings/store.h"
#include "switch/menu.h"

namespace lumivo {

const char* settingsPaneLink() {
  const bool showTweaks = settings::Values(kOrganiserPath, {kShowTweaksKey}).boolean(kShowTweaksKey).value_or(false);
  return showTweaks ? kTweaksPaneLink : kPaneLink;
}

}  // namespace lumivo
