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
// The user taps the switch asking for `newState`.
void applySwitchState(const std::string& identifier, int newState);
// The user triggers the switch's alternate action.
void switchAlternateAction(const std::string& identifier);

}  // namespace sim
