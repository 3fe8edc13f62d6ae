#include "tools/demo.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "settings/keys.h"
#include "sim/device.h"
#include "sim/device_files.h"
#include "tools/interrupt.h"
#include "tools/render.h"
#include "tools/script_parser.h"

namespace tools {
namespace {

struct Scene {
  const char* title;
  const char* narration;
  // Script lines. `expect` lines are checked without being shown.
  std::vector<const char*> lines;
};

const char kIntro[] =
    "Lumivo lets the user of an iPhone raise and lower the screen backlight one\n"
    "step at a time, with any gesture or button they bind to its two actions.\n"
    "It is two pieces: an extension loaded into SpringBoard (the home-screen\n"
    "process) and a toggle switch. Here both run, unchanged, on a simulated\n"
    "device, and a user plays with them.\n";

const std::vector<Scene> kScenes = {
    {"One step at a time",
     "Say the user bound a swipe up and a swipe down on the status bar to\n"
     "Lumivo's two actions. Each swipe moves the backlight one step: 0.05 of\n"
     "full brightness.",
     {"brightness 0.5", "press up", "expect level 0.55", "press up", "expect level 0.6", "press down",
      "expect level 0.55", "press down", "press down", "expect level 0.45"}},
    {"Force mode, from the switch's menu",
     "A long press on the Lumivo switch opens its menu. \"Force mode ON\" makes\n"
     "every step five times larger. The menu writes the setting to the settings\n"
     "file and posts a change notification; the extension inside SpringBoard\n"
     "hears it and reads the file again.",
     {"switch alt", "expect alerts 1", "alert tap 1", "expect pref forceMode true", "press up", "expect level 0.7",
      "press down", "expect level 0.45", "switch alt", "alert tap 2", "press up", "expect level 0.5"}},
    {"The switch turns Lumivo off",
     "Tapping the switch turns the whole feature off: the gestures are then\n"
     "left unhandled, free for anything else bound to them. Tapped again, it\n"
     "is back.",
     {"switch off", "expect switch 0", "press up", "expect unhandled", "switch on", "press up",
      "expect level 0.55"}},
    {"Resting while the keyboard shows",
     "In Lumivo's pane of the Settings application the user can pause it while\n"
     "the on-screen keyboard is up, so that the same swipes can serve the text\n"
     "being typed.",
     {"pref set disablekeyboard true", "keyboard show", "press up", "expect unhandled", "keyboard hide",
      "press up", "expect level 0.6"}},
    {"A paused application",
     "Chosen applications can be excluded too; the pane stores \"LVDisable-\"\n"
     "followed by the application's identifier. Lumivo follows whichever\n"
     "application comes to the front.",
     {"pref set LVDisable-com.apple.mobilesafari true", "launch com.apple.mobilesafari", "press down",
      "expect unhandled", "launch com.apple.Maps", "press down", "expect level 0.55"}},
    {"The home screen",
     "With \"disableSpringBoard\" set, Lumivo rests while no application is in\n"
     "front, that is, on the home screen.",
     {"pref set disableSpringBoard true", "home", "press up", "expect unhandled", "launch com.apple.Maps",
      "press up", "expect level 0.6"}},
    {"The lock screen",
     "Whatever happens behind the lock screen is ignored until the device is\n"
     "unlocked: here the user goes home while locked, and the steps still work\n"
     "until the unlock reveals the home screen.",
     {"lock", "press down", "expect level 0.55", "home", "press down", "expect level 0.5", "unlock", "press down",
      "expect unhandled", "launch com.apple.Maps"}},
};

class Demo {
 public:
  explicit Demo(const SessionOptions& options)
      : options_(options), session_(captured_), arrow_(localeIsUtf8() ? "\u203a" : ">") {}
  ~Demo() {
    if (go_ >= 0) close(go_);
    if (preferences_ > 0) waitpid(preferences_, nullptr, 0);
  }
  Demo(const Demo&) = delete;
  Demo& operator=(const Demo&) = delete;

  int run() {
    const bool unicode = localeIsUtf8();
    heading("Lumivo, on a simulated iPhone", unicode ? "\u2550" : "=");
    std::cout << kIntro << "\n";
    std::cout.flush();
    startPreferencesProcess();
    session_.boot(options_);
    emit(captured_.str(), "  ");
    captured_.str("");
    std::cout << "The device:\n";
    emit(session_.bootSummary(), "  ");
    // The tour starts from the default settings.
    if (std::filesystem::exists(sim::hostPath(settings::kSettingsPath))) play("pref clear", false);
    captured_.str("");
    int number = 0;
    for (const Scene& scene : kScenes) {
      if (interruptSignal()) break;
      beginScene(++number, scene.title, scene.narration);
      for (const char* line : scene.lines) play(line, true);
    }
    if (!interruptSignal()) anotherProcess(++number);
    if (int signal = interruptSignal()) return 128 + signal;
    std::cout << "\n";
    heading("That is all of Lumivo", unicode ? "\u2500" : "-");
    std::cout << "Play with it yourself: lumivo-sim opens a shell on a fresh device\n"
                 "(type help there), and lumivo-sim --help lists what scripts can say.\n";
    std::cout << "Final state: " << formatStatus(session_.status()) << "\n";
    if (surprises_) {
      std::cout << "\nThe device did not behave as narrated " << surprises_
                << (surprises_ == 1 ? " time" : " times") << " (marked with !).\n";
      return 1;
    }
    return 0;
  }

 private:
  static void heading(const std::string& text, const std::string& rule) {
    std::cout << text << "\n";
    for (std::size_t i = 0; i < text.size(); ++i) std::cout << rule;
    std::cout << "\n";
  }

  static void emit(const std::string& text, const std::string& indent) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) std::cout << indent << line << "\n";
  }

  static void beginScene(int number, const char* title, const char* narration) {
    std::cout << "\n" << number << ". " << title << "\n";
    emit(narration, "   ");
  }

  // Plays one script line; shown lines are echoed with their effects,
  // expectations only speak up when they fail.
  void play(const std::string& text, bool shown) {
    ParsedLine parsed = parseLine(text, 0, "");
    if (!parsed.command) {
      std::cout << "   ! demo line \"" << text << "\": " << parsed.error << "\n";
      ++surprises_;
      return;
    }
    const bool expectation = parsed.command->isExpectation();
    if (shown && !expectation) std::cout << "   " << arrow_ << " " << text << "\n";
    Failure failure = session_.run(*parsed.command);
    session_.settle();
    if (shown && !expectation) emit(captured_.str(), "   ");
    captured_.str("");
    if (failure) {
      std::cout << "   ! " << parsed.command->text << ": " << *failure << "\n";
      ++surprises_;
    }
  }

  // A second process on the same device root taps the switch; SpringBoard,
  // still running, follows through the notification.
  void anotherProcess(int number) {
    beginScene(number, "A change from another application",
               "The switch shows in other applications as well. A second process, the\n"
               "Settings application (Preferences), starts on the same device: it loads\n"
               "the switch but not the extension. The user turns Lumivo off there, and\n"
               "SpringBoard, still running, follows.");
    std::cout.flush();
    std::fflush(stdout);
    const pid_t child = std::exchange(preferences_, -1);
    // The waiting process goes on.
    const bool told = child > 0 && write(go_, "g", 1) == 1;
    close(std::exchange(go_, -1));
    int status = 0;
    if (!told) status = 1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::cout << "   ! the Preferences process failed\n";
      ++surprises_;
    }
    std::cout << "   In SpringBoard:\n";
    for (const char* line : {"await-post", "press up", "expect unhandled", "expect switch 0", "switch on",
                             "press up", "expect level 0.55"})
      play(line, true);
  }

  // A process boots one device in its life, so the Settings application's
  // process is forked before SpringBoard boots, and waits until the tour
  // comes to it; it ends without booting when the tour ends early.
  void startPreferencesProcess() {
    int fds[2];
    if (pipe(fds) != 0) return;
    preferences_ = fork();
    if (preferences_ == 0) {
      close(fds[1]);
      char go = 0;
      const bool started = read(fds[0], &go, 1) == 1;
      _exit(started ? preferencesProcess() : 0);
    }
    close(fds[0]);
    if (preferences_ < 0) close(fds[1]);
    else go_ = fds[1];
  }


  // Runs in the forked child: boots Preferences on the same root and taps
  // the switch off.
  int preferencesProcess() {
    std::ostringstream out;
    int result = 0;
    {
      Session preferences(out);
      SessionOptions options = options_;
      options.process = "Preferences";
      preferences.boot(options);
      std::cout << "   In Preferences (process " << getpid() << "):\n";
      emit(preferences.bootSummary(), "     ");
      ParsedLine tap = parseLine("switch off", 0, "");
      std::cout << "   " << arrow_ << " switch off\n";
      if (preferences.run(*tap.command)) result = 1;
      emit(out.str(), "   ");
    }
    std::cout.flush();
    return result;
  }

  SessionOptions options_;
  pid_t preferences_ = -1;  // the Settings application's process, waiting
  int go_ = -1;             // tells it to go on
  std::ostringstream captured_;
  Session session_;
  std::string arrow_;
  int surprises_ = 0;
};

}  // namespace

int runDemo(const SessionOptions& options) {
  Demo demo(options);
  return demo.run();
}

}  // namespace tools
