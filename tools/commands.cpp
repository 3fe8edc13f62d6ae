// Session::run: each script command carried out on the simulated device.
#include <filesystem>

#include "host/host.h"
#include "settings/atomic_file.h"
#include "settings/document.h"
#include "settings/keys.h"
#include "settings/store.h"
#include "sim/activator.h"
#include "sim/device.h"
#include "sim/springboard.h"
#include "sim/toggle.h"
#include "sim/uikit.h"
#include "tools/help_text.h"
#include "tools/numbers.h"
#include "tools/session.h"

namespace fs = std::filesystem;

namespace tools {
namespace {

const char kUpListener[] = "com.vantorel.brightnesslistener.up";
const char kDownListener[] = "com.vantorel.brightnesslistener.down";
const char kNoSpringBoard[] = "  nothing changes: only SpringBoard runs the front display and the lock screen\n";

std::optional<std::string> settingsBytes() {
  std::string bytes;
  if (!settings::readWholeFile(sim::hostPath(settings::kSettingsPath), bytes)) return std::nullopt;
  return bytes;
}

std::string describeAlert(const sim::AlertInfo& alert) {
  std::string text = "alert \"" + alert.title + "\"";
  if (alert.message) text += " (" + *alert.message + ")";
  text += ":";
  for (std::size_t i = 0; i < alert.buttons.size(); ++i)
    text += (i ? " | " : " ") + std::to_string(i) + " " + alert.buttons[i];
  return text;
}

}  // namespace

Failure Session::run(const Command& c) {
  switch (c.verb) {
    case Verb::Brightness: {
      sim::setScreenBrightness(c.number);
      const double shown = sim::screenBrightnessNow();
      out_ << "  screen " << bar(shown);
      if (shown != c.number) out_ << " (the panel keeps brightness within 0...1)";
      out_ << "\n";
      return std::nullopt;
    }
    case Verb::PressUp: return press(kUpListener);
    case Verb::PressDown: return press(kDownListener);
    case Verb::KeyboardShow:
    case Verb::KeyboardHide:
      sim::setKeyboardOnScreen(c.verb == Verb::KeyboardShow);
      out_ << (c.verb == Verb::KeyboardShow ? "  the keyboard is on screen\n" : "  the keyboard is hidden\n");
      return std::nullopt;
    case Verb::Launch:
      sim::launchApplication(c.word);
      if (sim::frontApplication() == c.word) out_ << "  " << c.word << " is in front\n";
      else out_ << kNoSpringBoard;
      return std::nullopt;
    case Verb::Home:
      sim::goHome();
      if (sim::bootOptions().process == "SpringBoard") out_ << "  the home screen shows\n";
      else out_ << kNoSpringBoard;
      return std::nullopt;
    case Verb::Lock:
    case Verb::Unlock:
      sim::setLocked(c.verb == Verb::Lock);
      if (sim::locked() != (c.verb == Verb::Lock)) out_ << kNoSpringBoard;
      else out_ << (c.verb == Verb::Lock ? "  the device is locked\n" : "  the device is unlocked\n");
      return std::nullopt;
    case Verb::SwitchShow: {
      auto id = switchIdentifier();
      if (!id) return "no switch is loaded in this process";
      const int state = sim::switchState(*id);
      out_ << "  switch " << *id << " is " << switchStateName(state) << " (" << state << ")\n";
      return std::nullopt;
    }
    case Verb::SwitchApply: return tapSwitch(static_cast<int>(c.integer));
    case Verb::SwitchAlternate: return alternateAction();
    case Verb::AlertTap: return tapAlert(c.integer);
    case Verb::PrefSet:
    case Verb::PrefDelete:
    case Verb::PrefClear:
    case Verb::PrefCopy: return editSettings(c);
    case Verb::PrefShow: return showSettings();
    case Verb::Put: return put(c);
    case Verb::Post: {
      MuteJournal mute(*this);
      host::notifyPost(settings::kChangedNotification);
      out_ << "  posted the change notification\n";
      return std::nullopt;
    }
    case Verb::Wait:
      runLoop(c.integer, false);
      if (interrupted()) return "interrupted while waiting";
      out_ << "  waited " << c.integer << " ms\n";
      return std::nullopt;
    case Verb::AwaitPost: return awaitPost(c.integer);
    case Verb::Status: out_ << "  " << formatStatus(status()) << "\n"; return std::nullopt;
    case Verb::Help: out_ << commandReference(); return std::nullopt;
    default: return expect(c);
  }
}

Failure Session::press(const std::string& listener) {
  const sim::EventOutcome outcome = sim::sendEvent(listener);
  latestPress_ = outcome;
  if (!outcome.delivered) {
    out_ << "  no listener is registered for " << listener << "; the event is left unhandled\n";
  } else if (outcome.level) {
    out_ << "  backlight " << bar(*outcome.level) << (outcome.handled ? "" : " (the event is left unhandled)")
         << "\n";
  } else {
    out_ << (outcome.handled ? "  the event is handled; no level set\n"
                             : "  the event is left unhandled; no level set\n");
  }
  return std::nullopt;
}

Failure Session::tapSwitch(int state) {
  auto id = switchIdentifier();
  if (!id) return "no switch is loaded in this process";
  sim::applySwitchState(*id, state);
  const int now = sim::switchState(*id);
  out_ << "  tapped the switch asking for " << switchStateName(state) << "; it shows " << switchStateName(now)
       << "\n";
  return std::nullopt;
}

Failure Session::alternateAction() {
  auto id = switchIdentifier();
  if (!id) return "no switch is loaded in this process";
  const std::size_t before = sim::alertsOnScreen().size();
  sim::switchAlternateAction(*id);
  const auto alerts = sim::alertsOnScreen();
  if (alerts.size() > before) out_ << "  " << describeAlert(alerts.back()) << "\n";
  else out_ << "  the alternate action showed no alert\n";
  return std::nullopt;
}

Failure Session::tapAlert(long long index) {
  const auto alerts = sim::alertsOnScreen();
  if (alerts.empty()) return "no alert is on screen";
  const sim::AlertInfo& alert = alerts.back();
  const std::size_t linksBefore = sim::openedLinks().size();
  const bool known = index >= 0 && static_cast<std::size_t>(index) < alert.buttons.size();
  if (!sim::tapAlertButton(alert.alert, static_cast<std::intptr_t>(index))) return "the alert left the screen";
  const std::string button = known ? "\"" + alert.buttons[static_cast<std::size_t>(index)] + "\""
                                   : "button " + std::to_string(index) + " (no such button)";
  out_ << "  tapped " << button
       << " on alert \"" << alert.title << "\"\n";
  const auto& links = sim::openedLinks();
  for (std::size_t i = linksBefore; i < links.size(); ++i) out_ << "  opened " << links[i] << "\n";
  return std::nullopt;
}

Failure Session::editSettings(const Command& c) {
  MuteJournal mute(*this);
  bool written = true;
  switch (c.verb) {
    case Verb::PrefSet: {
      settings::Document document = settings::readSettings();
      document.setValue(c.word, toPlist(*c.value));
      written = host::replaceFile(settings::kSettingsPath, document.toXml());
      out_ << "  settings: " << c.word << " = " << describe(*c.value) << "\n";
      break;
    }
    case Verb::PrefDelete: {
      settings::Document document = settings::readSettings();
      const bool had = document.contains(c.word);
      document.remove(c.word);
      written = host::replaceFile(settings::kSettingsPath, document.toXml());
      out_ << "  settings: " << c.word << (had ? " removed\n" : " was not set\n");
      break;
    }
    case Verb::PrefClear: {
      std::error_code ec;
      const bool removed = fs::remove(sim::hostPath(settings::kSettingsPath), ec);
      written = !ec;
      out_ << (removed ? "  the settings file is removed\n" : "  there was no settings file\n");
      break;
    }
    default: {
      written = host::replaceFile(settings::kSettingsPath, c.bytes);
      out_ << "  the settings file now holds the " << c.bytes.size() << " bytes of " << c.path << "\n";
      break;
    }
  }
  // The pane announces its edit whatever became of the write, as every
  // writer of the settings does.
  host::notifyPost(settings::kChangedNotification);
  if (!written) return "could not write the settings file";
  return std::nullopt;
}

Failure Session::showSettings() {
  const auto bytes = settingsBytes();
  if (!bytes) {
    out_ << "  no settings file\n";
    return std::nullopt;
  }
  // Read as the deliverables read it, with the reason when it gives nothing.
  settings::ReadResult why;
  const settings::Document document = settings::Document::parse(*bytes, &why);
  if (!why) {
    out_ << "  settings file unreadable: " << why.describe() << " (" << bytes->size()
         << (bytes->size() == 1 ? " byte" : " bytes") << "; read as no settings)\n";
    return std::nullopt;
  }
  const settings::Node root = document.root();
  out_ << "  settings file, " << root.size() << (root.size() == 1 ? " key" : " keys") << ":\n";
  for (std::size_t i = 0; i < root.size(); ++i)
    out_ << "    " << root.keyAt(i) << " = " << describePlist(root.at(i)) << "\n";
  return std::nullopt;
}

Failure Session::put(const Command& c) {
  const fs::path target = sim::hostPath(c.word);
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  if (ec || !settings::replaceFileAtomically(target.string(), c.bytes))
    return "could not write " + c.word + (ec ? ": " + ec.message() : std::string());
  out_ << "  copied the " << c.bytes.size() << " bytes of " << c.path << " to " << c.word << "\n";
  return std::nullopt;
}

Failure Session::expect(const Command& c) {
  MuteJournal mute(*this);
  switch (c.verb) {
    case Verb::ExpectLevel: return checkLevel(latestPress_, c.number);
    case Verb::ExpectUnhandled: return checkUnhandled(latestPress_);
    case Verb::ExpectBrightness: return checkBrightness(sim::screenBrightnessNow(), c.number);
    case Verb::ExpectSwitch: {
      auto id = switchIdentifier();
      return checkSwitch(id ? std::optional<int>(sim::switchState(*id)) : std::nullopt, c.integer);
    }
    case Verb::ExpectPref: return checkPref(settingsBytes(), c.word, c.value);
    case Verb::ExpectPosts: return checkPosts(sim::postCount(settings::kChangedNotification), c.integer);
    case Verb::ExpectOpened: return checkOpened(sim::openedLinks(), c.word);
    case Verb::ExpectAlerts: return checkAlerts(sim::alertsOnScreen().size(), c.integer);
    default: return "not an expectation";
  }
}

}  // namespace tools
