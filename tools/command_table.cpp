#include "tools/command_table.h"

#include <limits>

#include "tools/help_text.h"
#include "tools/pane_view.h"
#include "tools/session.h"

namespace tools {
namespace {

constexpr long long kIntMin = std::numeric_limits<int>::min(), kIntMax = std::numeric_limits<int>::max();
constexpr long long kAnyMin = std::numeric_limits<long long>::min(), kAnyMax = std::numeric_limits<long long>::max();
constexpr long long kMaxMilliseconds = 3'600'000;
constexpr std::string_view kMilliseconds = "a number of milliseconds (0 to 3600000)";

ArgDef real(std::string_view placeholder) { return {ArgKind::Real, placeholder}; }
ArgDef integer(std::string_view placeholder, long long low, long long high, std::string_view what,
                std::optional<long long> fallback = std::nullopt) {
  return {ArgKind::Integer, placeholder, low, high, what, fallback};
}
ArgDef word(std::string_view placeholder, std::string_view emptyError = {}) {
  return {ArgKind::Word, placeholder, 0, 0, {}, std::nullopt, emptyError};
}
ArgDef of(ArgKind kind, std::string_view placeholder) { return {kind, placeholder}; }

std::vector<CommandDef> declare() {
  using C = const Command&;
  using S = Session&;
  const ArgDef key = word("KEY", "the key is empty");
  std::vector<CommandDef> t = {
      {"brightness", {real("V")}, "the user sets the screen brightness to V (0...1)",
       [](S s, C c) { return s.setBrightness(c.real(0)); }, false, "brightness 0.5"},
      {"press up", {}, "the user performs the gesture bound to\ncom.vantorel.brightnesslistener.up",
       [](S s, C) { return s.press(true); }},
      {"press down", {}, "the user performs the gesture bound to\ncom.vantorel.brightnesslistener.down",
       [](S s, C) { return s.press(false); }},
      {"keyboard show", {}, "the on-screen keyboard appears", [](S s, C) { return s.setKeyboard(true); }},
      {"keyboard hide", {}, "the on-screen keyboard goes", [](S s, C) { return s.setKeyboard(false); }},
      {"launch", {word("ID", "the application identifier is empty")}, "application ID comes to the front",
       [](S s, C c) { return s.launch(c.word(0)); }, false, "launch com.apple.mobilesafari"},
      {"home", {}, "the home screen shows", [](S s, C) { return s.goHome(); }},
      {"lock", {}, "the device locks", [](S s, C) { return s.setLocked(true); }},
      {"unlock", {}, "the device unlocks", [](S s, C) { return s.setLocked(false); }},
      {"switch", {}, "show the state the switch's toggle shows", [](S s, C) { return s.showSwitch(); }},
      {"switch on", {}, "tap the switch to on", [](S s, C) { return s.tapSwitch(1); }},
      {"switch off", {}, "tap the switch to off", [](S s, C) { return s.tapSwitch(0); }},
      {"switch apply", {integer("N", kIntMin, kIntMax, "a switch state (an integer such as 0, 1 or -1)")},
       "tap the switch asking for state N",
       [](S s, C c) { return s.tapSwitch(static_cast<int>(c.integer(0))); }},
      {"switch alt", {}, "trigger the switch's alternate action (its menu)",
       [](S s, C) { return s.alternateAction(); }},
      {"alert tap", {integer("N", kAnyMin, kAnyMax, "a button index")},
       "tap button N of the newest alert (0 is the cancel button)",
       [](S s, C c) { return s.tapAlert(c.integer(0)); }},
      {"pref set", {key, of(ArgKind::Value, "VALUE")},
       "the settings pane sets KEY; VALUE is true, false, an\ninteger, a real with a dot, or a \"string\"",
       [](S s, C c) { return s.editSetting(c.word(0), c.value(1)); }},
      {"pref delete", {key}, "the settings pane removes KEY",
       [](S s, C c) { return s.editSetting(c.word(0), std::nullopt); }},
      {"pref clear", {}, "the settings file is removed", [](S s, C) { return s.clearSettings(); }},
      {"pref copy", {of(ArgKind::File, "FILE")}, "the settings file is replaced with FILE's bytes",
       [](S s, C c) { return s.copySettings(c.word(0)); }},
      {"pref show", {}, "print the settings file", [](S s, C) { return s.showSettings(); }},
      {"pane", {}, "print the settings pane as a user sees it: its groups,\ncells, footers and each setting's current value",
       [](S s, C) { return showPane(s); }, false, {}, true},
      {"put", {of(ArgKind::DevicePath, "DEVICE_PATH"), of(ArgKind::File, "FILE")},
       "copy FILE's bytes to DEVICE_PATH on the device,\nposting nothing; an outside writer: it takes\nno writers' lock, as a tool copying a file in would not",
       [](S s, C c) { return s.put(c.word(0), c.word(1)); }},
      {"post", {}, "post the change notification without touching the file", [](S s, C) { return s.post(); }},
      {"wait", {integer("MS", 0, kMaxMilliseconds, kMilliseconds)}, "run the main loop for MS milliseconds",
       [](S s, C c) { return s.wait(c.integer(0)); }},
      {"await-post", {integer("MS", 0, kMaxMilliseconds, kMilliseconds, 5000)},
       "run the main loop until a change notification from\n"
       "another process arrives (default 5000 ms; fails if none\n"
       "comes); one that arrived since the previous await-post\n"
       "counts at once, the echo of this process's own posts not",
       [](S s, C c) { return s.awaitPost(c.integer(0)); }},
      {"host", {}, "print the host's iOS release and every class method,\nmethod and function it offers the deliverables",
       [](S s, C) { return s.showHost(); }, false, {}, true},
      {"status", {}, "print the device in one line", [](S s, C) { return s.showStatus(); }, false, {}, true},
      {"help", {}, "this list", [](S s, C) { return s.print(commandReference()); }, false, {}, true},

      {"expect level", {real("V")}, "the latest press set the backlight to exactly the\nsingle-precision value nearest V",
       [](S s, C c) { return s.expectLevel(c.real(0)); }, true},
      {"expect unhandled", {}, "the latest press set no level and left the event unhandled",
       [](S s, C) { return s.expectUnhandled(); }, true},
      {"expect brightness", {real("V")}, "the screen shows V (within 1e-6)",
       [](S s, C c) { return s.expectBrightness(c.real(0)); }, true},
      {"expect switch", {integer("N", kIntMin, kIntMax, "a switch state (0 off, 1 on, -1 indeterminate)")},
       "the switch's toggle shows N (0 off, 1 on, -1 indeterminate)",
       [](S s, C c) { return s.expectSwitch(c.integer(0)); }, true},
      {"expect pref", {word("KEY"), of(ArgKind::ValueOrAbsent, "VALUE|absent")},
       "the settings file holds KEY with that typed value;\nwith absent, the file lacks KEY",
       [](S s, C c) { return s.expectPref(c.word(0), c.value(1)); }, true},
      {"expect posts", {integer("N", 0, kIntMax, "a count (0 or more)")},
       "this process (switch, menu, pane and post) has posted\nthe change notification N times since the script began",
       [](S s, C c) { return s.expectPosts(c.integer(0)); }, true},
      {"expect opened", {of(ArgKind::WordOrNone, "URL|none")},
       "the latest link opened is URL; with none, no link\nhas been opened",
       [](S s, C c) { return s.expectOpened(c.word(0)); }, true},
      {"expect alerts", {integer("N", 0, kIntMax, "a count (0 or more)")}, "N alerts are on screen",
       [](S s, C c) { return s.expectAlerts(c.integer(0)); }, true},
  };
  return t;
}

std::string_view firstWordOf(std::string_view name) { return name.substr(0, name.find(' ')); }

}  // namespace

const std::vector<CommandDef>& commandTable() {
  static const auto* table = new std::vector<CommandDef>(declare());
  return *table;
}

std::vector<const CommandDef*> commandGroup(std::string_view first) {
  std::vector<const CommandDef*> group;
  for (const auto& def : commandTable())
    if (firstWordOf(def.name) == first) group.push_back(&def);
  return group;
}

std::vector<std::string> firstWords() {
  std::vector<std::string> words;
  for (const auto& def : commandTable()) {
    std::string first(firstWordOf(def.name));
    if (words.empty() || words.back() != first) words.push_back(first);
  }
  return words;
}

std::vector<std::string> secondWords(std::string_view first) {
  std::vector<std::string> words;
  for (const CommandDef* def : commandGroup(first))
    if (def->name.size() > first.size()) words.emplace_back(def->name.substr(first.size() + 1));
  return words;
}

namespace {

std::string placeholders(const CommandDef& def) {
  std::string out;
  for (const auto& arg : def.args) {
    const bool optional = arg.kind == ArgKind::Integer && arg.fallback;
    out += " " + std::string(optional ? "[" : "") + std::string(arg.placeholder) + (optional ? "]" : "");
  }
  return out;
}

}  // namespace

std::string usageOf(const CommandDef& def) { return std::string(def.name) + placeholders(def); }

std::string groupUsage(std::string_view first) {
  bool bare = false;
  std::string alternatives;
  for (const CommandDef* def : commandGroup(first)) {
    if (def->name == first) {
      bare = true;
      continue;
    }
    alternatives += (alternatives.empty() ? "" : "|") + std::string(def->name.substr(first.size() + 1)) +
                    placeholders(*def);
  }
  if (alternatives.empty()) return std::string(first);
  return std::string(first) + " " + (bare ? "[" + alternatives + "]" : alternatives);
}

}  // namespace tools
