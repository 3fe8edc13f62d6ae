// The checks behind `expect`: each compares what the device shows with what
// the script expects, and returns none when the expectation holds or a short
// account of what was found instead.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "sim/activator.h"
#include "tools/pref_value.h"

namespace tools {

using Failure = std::optional<std::string>;

// `expect level V`: the latest press set the backlight to exactly the
// single-precision value nearest `expected`.
Failure checkLevel(const std::optional<sim::EventOutcome>& latestPress, double expected);
// `expect unhandled`: the latest press set no level and left the event
// unhandled.
Failure checkUnhandled(const std::optional<sim::EventOutcome>& latestPress);
// `expect brightness V`: the screen shows `expected` within 1e-6.
Failure checkBrightness(double shown, double expected);
// `expect switch N`: `state` is none when no switch is loaded.
Failure checkSwitch(std::optional<int> state, long long expected);
// `expect pref KEY VALUE` (or `absent` when `expected` is none) against the
// settings file's bytes, none when there is no file.
Failure checkPref(const std::optional<std::string>& fileBytes, const std::string& key,
                  const std::optional<PrefValue>& expected);
// `expect posts N`.
Failure checkPosts(int posts, long long expected);
// `expect opened URL` (the latest link opened is `expected`) or, with an
// empty `expected`, `expect opened none` (no link opened at all).
Failure checkOpened(const std::vector<std::string>& openedLinks, const std::string& expected);
// `expect alerts N`.
Failure checkAlerts(std::size_t onScreen, long long expected);

// A short phrase for a switch state: "on", "off", "indeterminate", "state 5".
std::string switchStateName(int state);

}  // namespace tools
