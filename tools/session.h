// A running simulated device and the commands played on it. The session
// boots one host process on a device root, carries out each command as the
// user or the system would, prints what the device does, and checks
// expectations. It owns the device: destroying it shuts the process down.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "sim/activator.h"
#include "sim/preferences.h"
#include "tools/command.h"
#include "tools/expectations.h"
#include "tools/status.h"

namespace tools {

struct SessionOptions {
  std::string root;
  std::string process = "SpringBoard";
  double coreFoundationVersion = 0;  // 0: the current host's
  bool journal = false;              // print every host call as it happens
};

class Session {
 public:
  // Effects go to `out`, indented by two spaces.
  explicit Session(std::ostream& out);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Boots the host process. Any process this session ran before ends first.
  void boot(const SessionOptions& options);
  // What booting loaded, in a few readable lines.
  std::string bootSummary() const;

  // Carries out one command, through its entry in the command table, and
  // prints its effect. Returns what went wrong: an expectation that did not
  // hold, or an action the device could not carry out (no switch loaded, no
  // alert or button to tap, a file not written, no notification within the time
  // allowed).
  Failure run(const Command& command);

  // The actions of the script language, as the user or the system does
  // them; each prints its effect.
  Failure setBrightness(double level);
  // The gesture bound to the step-up (or step-down) action.
  Failure press(bool up);
  Failure setKeyboard(bool onScreen);
  Failure launch(const std::string& application);
  Failure goHome();
  Failure setLocked(bool locked);
  Failure showSwitch();
  Failure tapSwitch(int state);
  Failure alternateAction();
  Failure tapAlert(long long index);
  // The settings pane sets `key` to `value`, or removes it when there is
  // none, and announces the edit.
  Failure editSetting(const std::string& key, const std::optional<PrefValue>& value);
  // The settings file is removed, or replaced with the bytes of the host
  // file `file`; either is announced.
  Failure clearSettings();
  Failure copySettings(const std::string& file);
  Failure showSettings();
  // Copies the host file `file` to `devicePath`, inside the device root,
  // making the folders on the way; announces nothing.
  Failure put(const std::string& devicePath, const std::string& file);
  Failure post();
  Failure wait(long long ms);
  Failure awaitPost(long long ms);
  Failure showStatus();
  // The host's release, then every class method, method and function it
  // offers, one per line.
  Failure showHost();
  Failure print(std::string_view text);

  // The checks behind `expect ...` (tools/expectations.h).
  Failure expectLevel(double level);
  Failure expectUnhandled();
  Failure expectBrightness(double brightness);
  Failure expectSwitch(long long state);
  // None for `absent`.
  Failure expectPref(const std::string& key, const std::optional<PrefValue>& value);
  Failure expectPosts(long long posts);
  // Empty for `none`.
  Failure expectOpened(const std::string& link);
  Failure expectAlerts(long long alerts);
  // One turn of the main run loop, as between two user actions: delivers
  // what has arrived and prints each change notification delivered. A
  // notification that arrives in the turn after a post of this process's
  // own is taken as that post's, which await-post does not wait for.
  void settle();

  DeviceStatus status() const;
  // The switch the switch commands act on: the first one loaded.
  std::optional<std::string> switchIdentifier() const;
  // True when the latest run or settle was cut short by a signal.
  bool interrupted() const;

 private:
  // Keeps the session's own host calls (the settings pane's edits, status
  // queries) out of the printed journal while it lives.
  class MuteJournal {
   public:
    explicit MuteJournal(const Session& s) : session_(s), was_(s.muted_) { s.muted_ = true; }
    ~MuteJournal() { session_.muted_ = was_; }
    MuteJournal(const MuteJournal&) = delete;
    MuteJournal& operator=(const MuteJournal&) = delete;

   private:
    const Session& session_;
    bool was_;
  };

  // Runs the loop for up to `ms`, stopping early at the first change
  // notification when `untilNotification`. True when one arrived.
  bool runLoop(long long ms, bool untilNotification);
  void noteArrival(std::size_t journalBefore);
  std::string bar(double level) const;

  // Posts the change notification after a pane edit; the failure when the
  // edit was not written.
  Failure announceEdit(const sim::PreferencesWriteResult& result);

  std::ostream& out_;
  bool unicode_ = false;
  bool journal_ = false;
  mutable bool muted_ = false;
  std::optional<sim::EventOutcome> latestPress_;
  int arrivals_ = 0;  // change notifications delivered to this process
  int awaited_ = 0;   // of which await-post has accounted for
  int postsSeen_ = 0; // this process's own posts, which await-post ignores
};

}  // namespace tools
