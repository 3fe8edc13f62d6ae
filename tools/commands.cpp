// The session's actions and checks: each script command carried out on the
// simulated device.
#include <cerrno>
#include <cstring>

#include "host/host.h"
#include "sim/plist/document.h"
#include "settings/keys.h"
#include "sim/plist/unicode.h"
#include "sim/activator.h"
#include "sim/device.h"
#include "sim/device_files.h"
#include "sim/journal.h"
#include "sim/notify.h"
#include "sim/preferences.h"
#include "sim/springboard.h"
#include "sim/toggle.h"
#include "sim/uikit.h"
#include "sim/writers_lock.h"
#include "tools/input_files.h"
#include "tools/numbers.h"
#include "tools/printable.h"
#include "tools/session.h"

namespace tools {
namespace {

// Why the last refused edit of the settings wrote nothing.
std::string refusal() { return sim::lastWriteRefusal() + "; the edit is refused"; }

const char kUpListener[] = "com.vantorel.brightnesslistener.up";
const char kDownListener[] = "com.vantorel.brightnesslistener.down";
const char kNoSpringBoard[] = "  nothing changes: only SpringBoard runs the front display and the lock screen\n";

std::string describeAlert(const sim::AlertInfo& alert) {
  std::string text = "alert \"" + alert.title + "\"";
  if (alert.message) text += " (" + *alert.message + ")";
  text += ":";
  for (std::size_t i = 0; i < alert.buttons.size(); ++i)
    text += (i ? " | " : " ") + std::to_string(i) + " " + alert.buttons[i];
  return text;
}

// True when a deliverable posted the change notification since the
// journal held `before` entries: every writer of the settings posts it
// after its edit, written or not.
bool deliverablePosted(std::size_t before) {
  const auto& entries = sim::journalEntries();
  for (std::size_t i = before; i < entries.size(); ++i)
    if (entries[i].call == "notify_post()" && entries[i].detail == settings::kChangedNotification) return true;
  return false;
}

// Why a deliverable's edit left the settings file as it was.
std::string unwrittenEdit() {
  const sim::PreferencesFile file = sim::readPreferencesFile(settings::kSettingsPath);
  if (file.status == host::PreferencesStatus::kFailed)
    return "cannot read " + std::string(settings::kSettingsPath) + ": " + printable(file.why) +
           "; the edit is refused";
  return "the settings file was not written; the edit is refused";
}

}  // namespace

Failure Session::run(const Command& command) {
  const int refusals = sim::writeRefusals();
  const int replaced = sim::deviceFileReplacements();
  const std::size_t journalBefore = sim::journalEntries().size();
  const int moves = sim::deviceFileMoves();
  Failure failure = command.def->run(*this, command);
  // A writer in this process that replaced a file it could not read moved
  // its bytes beside it first: where they went, and why they did not read,
  // is the user's to know, whichever deliverable wrote.
  const std::string keptAs = std::string(settings::kSettingsPath) + ".unreadable";
  if (sim::deviceFileMoves() != moves && sim::stampDeviceFile(keptAs).present) {
    const sim::PreferencesFile aside = sim::readPreferencesFile(keptAs);
    const std::string why = aside.status == host::PreferencesStatus::kRead ? "it changed while read" : aside.why;
    out_ << "  " << settings::kSettingsPath << " could not be read (" << printable(why)
         << "); its bytes are kept aside as " << keptAs << "\n";
  }
  // An edit the device refused (no writers' lock, a file it cannot read or
  // write) fails the command that made it, whatever the command saw: one
  // the platform refused says why; one a deliverable gave up on shows as
  // its change notification posted with no file written.
  if (!failure && sim::writeRefusals() != refusals) failure = refusal();
  if (!failure && deliverablePosted(journalBefore) && sim::deviceFileReplacements() == replaced)
    failure = unwrittenEdit();
  return failure;
}

Failure Session::setBrightness(double level) {
  sim::setScreenBrightness(level);
  const double shown = sim::screenBrightnessNow();
  out_ << "  screen " << bar(shown);
  if (shown != level) out_ << " (the panel keeps brightness within 0...1)";
  out_ << "\n";
  return std::nullopt;
}

Failure Session::setKeyboard(bool onScreen) {
  sim::setKeyboardOnScreen(onScreen);
  out_ << (onScreen ? "  the keyboard is on screen\n" : "  the keyboard is hidden\n");
  return std::nullopt;
}

Failure Session::launch(const std::string& application) {
  sim::launchApplication(application);
  if (sim::frontApplication() == application) out_ << "  " << application << " is in front\n";
  else out_ << kNoSpringBoard;
  return std::nullopt;
}

Failure Session::goHome() {
  sim::goHome();
  if (sim::bootOptions().process == "SpringBoard") out_ << "  the home screen shows\n";
  else out_ << kNoSpringBoard;
  return std::nullopt;
}

Failure Session::setLocked(bool locked) {
  sim::setLocked(locked);
  if (sim::locked() != locked) out_ << kNoSpringBoard;
  else out_ << (locked ? "  the device is locked\n" : "  the device is unlocked\n");
  return std::nullopt;
}

Failure Session::showSwitch() {
  auto id = switchIdentifier();
  if (!id) return "no switch is loaded in this process";
  const int state = sim::toggleState(*id);
  out_ << "  switch " << *id << " is " << switchStateName(state) << " (" << state << ")\n";
  return std::nullopt;
}

Failure Session::post() {
  MuteJournal mute(*this);
  sim::notifyPostName(settings::kChangedNotification);
  out_ << "  posted the change notification\n";
  return std::nullopt;
}

Failure Session::wait(long long ms) {
  runLoop(ms, false);
  if (interrupted()) return "interrupted while waiting";
  out_ << "  waited " << ms << " ms\n";
  return std::nullopt;
}

Failure Session::showStatus() {
  out_ << "  " << formatStatus(status()) << "\n";
  return std::nullopt;
}

Failure Session::print(std::string_view text) {
  out_ << text;
  return std::nullopt;
}

Failure Session::press(bool up) {
  const std::string listener = up ? kUpListener : kDownListener;
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
  const int now = sim::toggleState(*id);
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
  // A user can only tap a button that is there.
  if (index < 0 || static_cast<std::size_t>(index) >= alert.buttons.size())
    return "alert \"" + alert.title + "\" has no button " + std::to_string(index) +
           (alert.buttons.empty() ? std::string(" (it has none)")
                                  : " (its buttons are 0 to " + std::to_string(alert.buttons.size() - 1) + ")");
  const std::size_t linksBefore = sim::openedLinks().size();
  if (!sim::tapAlertButton(alert.alert, static_cast<std::intptr_t>(index))) return "the alert left the screen";
  out_ << "  tapped \"" << alert.buttons[static_cast<std::size_t>(index)] << "\" on alert \"" << alert.title << "\"\n";
  const auto& links = sim::openedLinks();
  for (std::size_t i = linksBefore; i < links.size(); ++i) out_ << "  opened " << links[i] << "\n";
  return std::nullopt;
}

Failure Session::editSetting(const std::string& key, const std::optional<PrefValue>& value) {
  MuteJournal mute(*this);
  // The pane edits text: bytes that are not UTF-8 are refused before
  // anything is read, written or announced.
  if (!plist::unicode::isValidUtf8(key)) return "the key is not valid UTF-8 text";
  if (value && value->kind == PrefValue::Kind::String && !plist::unicode::isValidUtf8(value->string))
    return "the value is not valid UTF-8 text";
  bool had = false;
  // Through the writers' read-modify-write, announced whatever becomes of
  // the write.
  const auto result = sim::editPreferencesFile(settings::kSettingsPath, [&](plist::Document& document) {
    had = document.contains(key);
    if (value) document.setValue(key, toPlist(*value));
    else document.remove(key);
    return true;
  });
  if (Failure failure = announceEdit(result)) return failure;
  if (value) out_ << "  settings: " << printable(key) << " = " << describe(*value) << "\n";
  else out_ << "  settings: " << printable(key) << (had ? " removed\n" : " was not set\n");
  return std::nullopt;
}

Failure Session::clearSettings() {
  MuteJournal mute(*this);
  bool removed = false;
  int removeError = 0;
  // Removing the whole file waits for, and holds off, the other writers'
  // read-modify-writes too.
  const auto result = sim::withPreferencesLock(settings::kSettingsPath, [&] {
    errno = 0;
    const bool done = sim::removeDeviceFile(settings::kSettingsPath, &removed);
    removeError = done ? 0 : errno;
    return done;
  });
  if (result) out_ << (removed ? "  the settings file is removed\n" : "  there was no settings file\n");
  Failure failure = announceEdit(result);
  if (failure && removeError)
    return "cannot remove " + std::string(settings::kSettingsPath) + ": " +
           (removeError == EISDIR ? std::string("it is a folder, not a file") : std::strerror(removeError)) +
           "; it is left as it was";
  return failure;
}

Failure Session::copySettings(const std::string& file) {
  MuteJournal mute(*this);
  std::string why;
  const auto bytes = readInputFile(file, kMaxInputBytes, &why);
  if (!bytes) return "cannot read " + file + ": " + why;
  const auto result = sim::withPreferencesLock(
      settings::kSettingsPath, [&] { return sim::replaceDeviceFile(settings::kSettingsPath, *bytes, false); });
  if (result) out_ << "  the settings file now holds the " << bytes->size() << " bytes of " << file << "\n";
  return announceEdit(result);
}

Failure Session::announceEdit(const sim::PreferencesWriteResult& result) {
  // The pane announces its edit whatever became of the write, as every
  // writer of the settings does.
  sim::notifyPostName(settings::kChangedNotification);
  switch (result.outcome) {
    case host::PreferencesWrite::kWritten: return std::nullopt;
    case host::PreferencesWrite::kReadFailed: return "could not read the settings file; it is left as it was";
    case host::PreferencesWrite::kNotKept:
      return "could not keep the unreadable settings file aside; it is left as it was";
    case host::PreferencesWrite::kNotWritable:
      // The platform's reason names the limit the edit would pass.
      return (result.why.empty() ? std::string("the settings file cannot hold this edit") : result.why) +
             "; it is left as it was";
    case host::PreferencesWrite::kNotLocked: return refusal();
    case host::PreferencesWrite::kWriteFailed: break;
  }
  return result.why.empty() ? "could not write the settings file" : result.why;
}

Failure Session::showSettings() {
  // Read as the deliverables read it, with the reason when it gives nothing.
  const sim::PreferencesFile file = sim::readPreferencesFile(settings::kSettingsPath);
  switch (file.status) {
    case host::PreferencesStatus::kAbsent: out_ << "  no settings file\n"; return std::nullopt;
    case host::PreferencesStatus::kFailed:
      out_ << "  settings file cannot be read: " << file.why << " (read as no settings; writers leave it as it is)\n";
      return std::nullopt;
    case host::PreferencesStatus::kUnreadable:
      out_ << "  settings file unreadable: " << file.why << " (";
      if (file.size) out_ << *file.size << (*file.size == 1 ? " byte" : " bytes") << "; ";
      out_ << "read as no settings)\n";
      return std::nullopt;
    case host::PreferencesStatus::kRead: break;
  }
  const plist::Node root = file.document.root();
  out_ << "  settings file, " << root.size() << (root.size() == 1 ? " key" : " keys") << ":\n";
  for (std::size_t i = 0; i < root.size(); ++i)
    out_ << "    " << printable(root.keyAt(i)) << " = " << describePlist(root.at(i)) << "\n";
  return std::nullopt;
}

Failure Session::put(const std::string& devicePath, const std::string& file) {
  std::string why;
  const auto bytes = readInputFile(file, kMaxInputBytes, &why);
  if (!bytes) return "cannot read " + file + ": " + why;
  errno = 0;
  if (!sim::replaceDeviceFile(devicePath, *bytes, true))
    return "could not write " + devicePath + (errno ? ": " + std::string(std::strerror(errno)) : std::string());
  out_ << "  copied the " << bytes->size() << " bytes of " << file << " to " << devicePath << "\n";
  return std::nullopt;
}

Failure Session::expectLevel(double level) {
  MuteJournal mute(*this);
  return checkLevel(latestPress_, level);
}

Failure Session::expectUnhandled() {
  MuteJournal mute(*this);
  return checkUnhandled(latestPress_);
}

Failure Session::expectBrightness(double brightness) {
  MuteJournal mute(*this);
  return checkBrightness(sim::screenBrightnessNow(), brightness);
}

Failure Session::expectSwitch(long long state) {
  MuteJournal mute(*this);
  auto id = switchIdentifier();
  return checkSwitch(id ? std::optional<int>(sim::toggleState(*id)) : std::nullopt, state);
}

Failure Session::expectPref(const std::string& key, const std::optional<PrefValue>& value) {
  MuteJournal mute(*this);
  std::string bytes;
  const bool read = sim::readDeviceFile(settings::kSettingsPath, bytes);
  return checkPref(read ? std::optional<std::string>(std::move(bytes)) : std::nullopt, key, value);
}

Failure Session::expectPosts(long long posts) {
  MuteJournal mute(*this);
  return checkPosts(sim::postCount(settings::kChangedNotification), posts);
}

Failure Session::expectOpened(const std::string& link) {
  MuteJournal mute(*this);
  return checkOpened(sim::openedLinks(), link);
}

Failure Session::expectAlerts(long long alerts) {
  MuteJournal mute(*this);
  return checkAlerts(sim::alertsOnScreen().size(), alerts);
}

}  // namespace tools
