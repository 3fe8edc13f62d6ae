#include "tools/expectations.h"

#include <cmath>

#include "sim/plist/document.h"
#include "tools/numbers.h"

namespace tools {
namespace {

std::string times(long long n) { return n == 1 ? "once" : std::to_string(n) + " times"; }

std::string pressAccount(const sim::EventOutcome& press) {
  if (!press.delivered) return "the latest press reached no listener";
  std::string account = press.level ? "the latest press set " + formatSingle(*press.level)
                                    : std::string("the latest press set no level");
  return account + (press.handled ? " and marked the event handled" : " and left the event unhandled");
}

}  // namespace

Failure checkLevel(const std::optional<sim::EventOutcome>& latestPress, double expected) {
  if (!latestPress) return "there has been no press yet";
  const float wanted = static_cast<float>(expected);
  if (latestPress->level && *latestPress->level == wanted) return std::nullopt;
  std::string account = pressAccount(*latestPress);
  if (latestPress->level) account += " (expected " + formatSingle(wanted) + ")";
  return account;
}

Failure checkUnhandled(const std::optional<sim::EventOutcome>& latestPress) {
  if (!latestPress) return "there has been no press yet";
  if (!latestPress->level && !latestPress->handled) return std::nullopt;
  return pressAccount(*latestPress);
}

Failure checkBrightness(double shown, double expected) {
  if (std::fabs(shown - expected) <= 1e-6) return std::nullopt;
  return "the screen shows " + formatReal(shown);
}

Failure checkSwitch(std::optional<int> state, long long expected) {
  if (!state) return "no switch is loaded";
  if (*state == expected) return std::nullopt;
  return "the switch reports " + std::to_string(*state) + " (" + switchStateName(*state) + ")";
}

Failure checkPref(const std::optional<std::string>& fileBytes, const std::string& key,
                  const std::optional<PrefValue>& expected) {
  const plist::Document document = plist::Document::parse(fileBytes ? *fileBytes : std::string());
  const plist::Node stored = document.value(key);
  if (!expected) {
    if (!stored) return std::nullopt;
    return "the settings file holds " + key + " = " + describePlist(stored);
  }
  if (sameValue(*expected, stored)) return std::nullopt;
  if (stored) return "the settings file holds " + key + " = " + describePlist(stored);
  if (!fileBytes) return "there is no settings file";
  return "the settings file has no " + key;
}

Failure checkPosts(int posts, long long expected) {
  if (posts == expected) return std::nullopt;
  if (posts == 0) return "this process has not posted the change notification";
  return "this process posted the change notification " + times(posts);
}

Failure checkOpened(const std::vector<std::string>& openedLinks, const std::string& expected) {
  if (expected.empty()) {
    if (openedLinks.empty()) return std::nullopt;
    return std::to_string(openedLinks.size()) + " link(s) opened, the latest " + openedLinks.back();
  }
  if (openedLinks.empty()) return "no link has been opened";
  if (openedLinks.back() == expected) return std::nullopt;
  return "the latest link opened is " + openedLinks.back();
}

Failure checkAlerts(std::size_t onScreen, long long expected) {
  if (static_cast<long long>(onScreen) == expected) return std::nullopt;
  return std::to_string(onScreen) + (onScreen == 1 ? " alert is" : " alerts are") + " on screen";
}

std::string switchStateName(int state) {
  switch (state) {
    case 0: return "off";
    case 1: return "on";
    case -1: return "indeterminate";
    default: return "state " + std::to_string(state);
  }
}

}  // namespace tools
