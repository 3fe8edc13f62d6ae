// Control of the simulated toggle framework: the loaded switches, their
// state, taps and alternate actions.
#pragma once

#include <string>
#include <vector>

namespace sim {

// Identifiers (bundle identifiers) of the loaded switches, in load order.
std::vector<std::string> switchIdentifiers();
// The state the switch's data source reports: 0 off, 1 on, -1 indeterminate.
int switchState(const std::string& identifier);
// The state the switch's toggle shows: what the switch reported when the
// toggle was first shown, after the latest tap, or when the switch last said
// its state may have changed (host::switchPanelStateDidChange), whichever
// came last. -1 for an unknown switch.
int toggleState(const std::string& identifier);
// The user taps the switch asking for `newState`.
void applySwitchState(const std::string& identifier, int newState);
// The user triggers the switch's alternate action.
void switchAlternateAction(const std::string& identifier);

}  // namespace sim
