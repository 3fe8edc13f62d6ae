#include "tools/session.h"

#include <algorithm>
#include <chrono>

#include "settings/keys.h"
#include "sim/device.h"
#include "sim/journal.h"
#include "sim/springboard.h"
#include "sim/toggle.h"
#include "sim/uikit.h"
#include "sim/writers_lock.h"
#include "tools/interrupt.h"
#include "tools/numbers.h"
#include "tools/render.h"

namespace tools {

Session::Session(std::ostream& out) : out_(out), unicode_(localeIsUtf8()) {}

Session::~Session() {
  sim::setJournalSink(nullptr);
  sim::shutdown();
}

void Session::boot(const SessionOptions& options) {
  journal_ = options.journal;
  latestPress_.reset();
  arrivals_ = awaited_ = postsSeen_ = 0;
  sim::setJournalSink(nullptr);
  if (journal_) {
    sim::setJournalSink([this](const sim::JournalEntry& entry) {
      if (muted_) return;
      out_ << "  journal: " << entry.call << (entry.detail.empty() ? "" : " " + entry.detail) << "\n";
    });
  }
  // A writer waiting for another's lock gives up on Ctrl-C or SIGTERM.
  sim::setLockWaitStop([] { return interruptSignal() != 0; });
  sim::BootOptions boot;
  boot.root = options.root;
  boot.process = options.process;
  if (options.coreFoundationVersion > 0) boot.coreFoundationVersion = options.coreFoundationVersion;
  sim::boot(boot);
}

std::string Session::bootSummary() const {
  const auto& options = sim::bootOptions();
  std::string text = options.process + " (" + sim::bundleIdentifierFor(options.process) + "), CoreFoundation " +
                     formatVersion(options.coreFoundationVersion) + "\n";
  std::string loaded;
  for (const auto& entry : sim::journalEntries()) {
    if (entry.call == "loaderLoad") loaded += (loaded.empty() ? "" : ", ") + entry.detail;
    if (entry.call == "loaderFailed") text += "could not load a library: " + entry.detail + "\n";
  }
  text += "libraries: " + (loaded.empty() ? std::string("none loaded") : loaded) + "\n";
  std::string switches;
  for (const auto& id : sim::switchIdentifiers()) switches += (switches.empty() ? "" : ", ") + id;
  text += "switches: " + (switches.empty() ? std::string("none loaded") : switches) + "\n";
  return text;
}


void Session::noteArrival(std::size_t journalBefore) {
  ++arrivals_;
  int observers = 0;
  const auto& entries = sim::journalEntries();
  for (std::size_t i = journalBefore; i < entries.size(); ++i)
    observers += entries[i].call == "notificationDelivered" && entries[i].detail == settings::kChangedNotification;
  out_ << "  change notification delivered"
       << (observers ? " to " + std::to_string(observers) + (observers == 1 ? " observer" : " observers")
                     : std::string(" (nothing in this process observes it)"))
       << "\n";
}

void Session::settle() {
  const std::size_t before = sim::journalEntries().size();
  if (sim::runLoopUntilNotification(settings::kChangedNotification, 0)) noteArrival(before);
  if (const int posts = sim::postCount(settings::kChangedNotification); posts != postsSeen_) {
    postsSeen_ = posts;
    awaited_ = arrivals_;
  }
}

bool Session::runLoop(long long ms, bool untilNotification) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  bool arrived = false;
  // Short slices, so that Ctrl-C ends a long wait promptly.
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const std::size_t before = sim::journalEntries().size();
    if (sim::runLoopUntilNotification(settings::kChangedNotification,
                                      static_cast<int>(std::clamp<long long>(left, 0, 100)))) {
      noteArrival(before);
      arrived = true;
      if (untilNotification) return true;
    }
    if (left <= 0 || interruptSignal()) return arrived;
  }
}

bool Session::interrupted() const { return interruptSignal() != 0; }

std::string Session::bar(double level) const { return brightnessBar(level, unicode_); }

std::optional<std::string> Session::switchIdentifier() const {
  auto ids = sim::switchIdentifiers();
  if (ids.empty()) return std::nullopt;
  return ids.front();
}

DeviceStatus Session::status() const {
  MuteJournal mute(*this);
  DeviceStatus s;
  s.brightness = sim::screenBrightnessNow();
  if (const auto& levels = sim::backlightLevels(); !levels.empty()) s.lastLevel = levels.back();
  s.front = sim::frontApplication();
  s.locked = sim::locked();
  s.keyboard = sim::keyboardOnScreen();
  if (auto id = switchIdentifier()) s.switchState = sim::toggleState(*id);
  for (const auto& alert : sim::alertsOnScreen()) s.alertTitles.push_back(alert.title);
  return s;
}

Failure Session::awaitPost(long long ms) {
  if (arrivals_ > awaited_) {
    awaited_ = arrivals_;
    out_ << "  the change notification has arrived\n";
    return std::nullopt;
  }
  const auto start = std::chrono::steady_clock::now();
  if (runLoop(ms, true)) {
    awaited_ = arrivals_;
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    out_ << "  the change notification arrived after " << took << " ms\n";
    return std::nullopt;
  }
  if (interruptSignal()) return "interrupted while waiting for the change notification";
  return "no change notification arrived within " + std::to_string(ms) + " ms";
}

}  // namespace tools
