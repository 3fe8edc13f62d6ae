// lumivo-sim run as a program: its command line, bad input, a device root
// shared by two processes, the journal, and an installed copy.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_root.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int exit = -1;
  std::string out, err;
};

int temporaryFile() {
  char name[] = "/tmp/lumivo-cli-XXXXXX";
  int fd = mkstemp(name);
  unlink(name);
  return fd;
}

std::string readBack(int fd) {
  std::string text;
  lseek(fd, 0, SEEK_SET);
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  return text;
}

// Starts `program` with `args`, standard input from `input`; output goes to
// the two descriptors.
pid_t start(const std::string& program, const std::vector<std::string>& args, const std::string& input, int out,
            int err, const std::string& tmpdir = "") {
  int in = temporaryFile();
  if (write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size())) ADD_FAILURE() << "write";
  lseek(in, 0, SEEK_SET);
  pid_t child = fork();
  if (child == 0) {
    std::vector<std::string> words = {program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (!tmpdir.empty()) setenv("TMPDIR", tmpdir.c_str(), 1);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(in);
  return child;
}

Outcome finish(pid_t child, int out, int err) {
  Outcome run;
  int status = 0;
  waitpid(child, &status, 0);
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = readBack(out);
  run.err = readBack(err);
  return run;
}

Outcome runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input = "") {
  int out = temporaryFile(), err = temporaryFile();
  return finish(start(program, args, input, out, err), out, err);
}

Outcome sim(const std::vector<std::string>& args, const std::string& input = "") {
  return runProgram(LUMIVO_SIM_EXE, args, input);
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Cli, HelpListsOptionsCommandsAndWhereTheDeliverablesAre) {
  Outcome run = sim({"--help"});
  EXPECT_EQ(run.exit, 0);
  for (const char* part : {"--root DIR", "--process NAME", "--cf-version V", "--journal", "--ready-file FILE",
                           "expect level V", "await-post [MS]", "lumivo-sim demo", "Deliverables: "})
    EXPECT_TRUE(has(run.out, part)) << part;
}

TEST(Cli, BadOptionsExitWithStatusTwo) {
  Outcome run = sim({"--frobnicate"});
  EXPECT_EQ(run.exit, 2);
  EXPECT_EQ(run.err, "lumivo-sim: unknown option --frobnicate (lumivo-sim --help lists the options)\n");
  EXPECT_EQ(sim({"--cf-version", "soon", "-"}).exit, 2);
}

TEST(Cli, AMissingScriptIsReported) {
  Outcome run = sim({"/nonexistent/script.sim"});
  EXPECT_EQ(run.exit, 2);
  EXPECT_TRUE(has(run.err, "cannot read the script /nonexistent/script.sim: No such file or directory")) << run.err;
  testing_support::TempRoot dir;
  EXPECT_EQ(sim({dir.path()}).exit, 2);
}

TEST(Cli, ABadScriptTouchesNoRoot) {
  testing_support::TempRoot parent;
  const std::string root = parent.path() + "/device";
  Outcome run = sim({"--root", root, "-"}, "home\nfly away\n");
  EXPECT_EQ(run.exit, 2);
  EXPECT_TRUE(has(run.err, "standard input, line 2: unknown command \"fly\"")) << run.err;
  EXPECT_FALSE(fs::exists(root));
}

TEST(Cli, RootsThatCannotServeAreRefused) {
  testing_support::TempRoot dir;
  dir.put("/plain-file", "x");
  Outcome file = sim({"--root", dir.host("/plain-file"), "-"}, "status\n");
  EXPECT_EQ(file.exit, 2);
  EXPECT_TRUE(has(file.err, "not a folder")) << file.err;
  Outcome below = sim({"--root", dir.host("/plain-file/device"), "-"}, "status\n");
  EXPECT_EQ(below.exit, 2);
  EXPECT_TRUE(has(below.err, "cannot create the folder")) << below.err;
  Outcome proc = sim({"--root", "/proc", "-"}, "status\n");
  EXPECT_EQ(proc.exit, 2);
  EXPECT_TRUE(has(proc.err, "--root /proc: it is on proc, a file system the kernel makes up")) << proc.err;
}

TEST(Cli, HelpAndTheVersionAreThereUnderTheNamesUsersTry) {
  Outcome help = sim({"help"});
  EXPECT_EQ(help.exit, 0) << help.err;
  EXPECT_TRUE(has(help.out, "Usage:")) << help.out;
  Outcome version = sim({"--version"});
  EXPECT_EQ(version.exit, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("lumivo-sim [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.out;
}

TEST(Cli, ScriptsComeFromStandardInputWithoutATerminal) {
  Outcome run = sim({}, "brightness 0.5\npress up\nexpect level 0.55\n");
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_TRUE(has(run.out, "all 1 expectation held")) << run.out;
}

TEST(Cli, ATemporaryRootIsRemovedAtExit) {
  Outcome run = sim({"-"}, "pref set enabled false\n");
  ASSERT_EQ(run.exit, 0) << run.err;
  std::smatch match;
  ASSERT_TRUE(std::regex_search(run.out, match, std::regex("device root (\\S+) \\(temporary\\)"))) << run.out;
  EXPECT_FALSE(fs::exists(match[1].str()));
}

// A run stopped by a signal still removes its temporary root.
TEST(Cli, ATerminatedRunCleansUp) {
  testing_support::TempRoot parent;
  const std::string ready = parent.path() + "/ready";
  int out = temporaryFile(), err = temporaryFile();
  pid_t child = start(LUMIVO_SIM_EXE, {"--ready-file", ready, "-"}, "wait 60000\nstatus\n", out, err);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!fs::exists(ready) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(fs::exists(ready));
  kill(child, SIGTERM);
  Outcome run = finish(child, out, err);
  EXPECT_EQ(run.exit, 128 + SIGTERM) << run.out << run.err;
  EXPECT_TRUE(has(run.err, "interrupted")) << run.err;
  EXPECT_FALSE(has(run.out, "> status")) << run.out;
  std::smatch match;
  ASSERT_TRUE(std::regex_search(run.out, match, std::regex("device root (\\S+) \\(temporary\\)"))) << run.out;
  EXPECT_FALSE(fs::exists(match[1].str()));
}

// Other signals that end a program by default, and a reader that goes away
// (lumivo-sim script | head -1), leave no temporary root behind either.
TEST(Cli, EveryTerminatingSignalCleansUp) {
  for (int signal : {SIGUSR1, SIGALRM, SIGQUIT, SIGUSR2}) {
    testing_support::TempRoot tmp;
    const std::string ready = tmp.path() + "/ready";
    int out = temporaryFile(), err = temporaryFile();
    pid_t child = start(LUMIVO_SIM_EXE, {"--ready-file", ready, "-"}, "wait 60000\n", out, err, tmp.path());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(ready) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::exists(ready)) << signal;
    kill(child, signal);
    Outcome run = finish(child, out, err);
    EXPECT_EQ(run.exit, 128 + signal) << run.out << run.err;
    fs::remove(ready);
    EXPECT_TRUE(fs::is_empty(tmp.path())) << "signal " << signal << " left " << fs::directory_iterator(tmp.path())->path();
  }
}

TEST(Cli, AReaderThatGoesAwayLeavesNoTemporaryRoot) {
  testing_support::TempRoot tmp;
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  close(pipeFds[0]);
  int err = temporaryFile();
  pid_t child = start(LUMIVO_SIM_EXE, {"-"}, "status\nwait 10\nstatus\n", pipeFds[1], err, tmp.path());
  close(pipeFds[1]);
  Outcome run = finish(child, temporaryFile(), err);
  EXPECT_EQ(run.exit, 128 + SIGPIPE) << run.err;
  EXPECT_TRUE(fs::is_empty(tmp.path()));
}

TEST(Cli, ANamedRootKeepsTheDeviceBetweenRuns) {
  testing_support::TempRoot parent;
  const std::string root = parent.path() + "/device";
  ASSERT_EQ(sim({"--root", root, "-"}, "switch off\n").exit, 0);
  EXPECT_TRUE(fs::exists(root + "/Library/Switches/Lumivo.bundle/Info.plist"));
  Outcome second = sim({"--root", root, "-"}, "expect switch 0\nbrightness 0.5\npress up\nexpect unhandled\n");
  EXPECT_EQ(second.exit, 0) << second.out << second.err;
}

TEST(Cli, TheJournalShowsTheDeliverablesCallsButNotThePanes) {
  Outcome run = sim({"--journal", "-"}, "pref set forceMode true\nbrightness 0.5\npress up\nswitch off\n");
  ASSERT_EQ(run.exit, 0) << run.err;
  // Boot: the extension registers its listeners and its observer.
  EXPECT_TRUE(has(run.out, "journal: -[LAActivator registerListener:forName:]")) << run.out;
  EXPECT_TRUE(has(run.out, "journal: CFNotificationCenterAddObserver() com.vantorel.lumivo.preferencechanged")) << run.out;
  EXPECT_TRUE(has(run.out, "journal: GSEventSetBacklightLevel() 0.75")) << run.out;
  // The pane's write and post are not the deliverables': only the switch's show.
  const auto paneEdit = run.out.find("> pref set forceMode true");
  const auto nextCommand = run.out.find("> brightness 0.5");
  ASSERT_NE(paneEdit, std::string::npos);
  const std::string paneOutput = run.out.substr(paneEdit, nextCommand - paneEdit);
  EXPECT_FALSE(has(paneOutput, "journal: CFPreferencesSetMultiple()")) << paneOutput;
  EXPECT_FALSE(has(paneOutput, "journal: notify_post()")) << paneOutput;
  const std::string switchOutput = run.out.substr(run.out.find("> switch off"));
  EXPECT_TRUE(has(switchOutput, "journal: CFPreferencesSetMultiple() com.vantorel.lumivo"))
      << switchOutput;
  EXPECT_TRUE(has(switchOutput, "journal: notify_post() com.vantorel.lumivo.preferencechanged")) << switchOutput;
}

TEST(Cli, PreferencesLoadsTheSwitchButNotTheExtension) {
  Outcome run = sim({"--process", "Preferences", "-"}, "switch\n");
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_TRUE(has(run.out, "Preferences (com.apple.Preferences)")) << run.out;
  EXPECT_TRUE(has(run.out, "libraries: none loaded")) << run.out;
  EXPECT_FALSE(has(run.out, "switches: none loaded")) << run.out;
}

// SpringBoard waits with await-post; once it has booted (its ready file
// exists) a Preferences process on the same root taps the switch off, and
// SpringBoard follows.
TEST(Cli, SpringBoardFollowsASwitchTappedInAnotherProcess) {
  testing_support::TempRoot parent;
  const std::string root = parent.path() + "/device";
  const std::string ready = parent.path() + "/springboard.ready";
  int out = temporaryFile(), err = temporaryFile();
  pid_t springBoard = start(LUMIVO_SIM_EXE, {"--root", root, "--ready-file", ready, "-"},
                            "brightness 0.5\n"
                            "press up\n"
                            "expect level 0.55\n"
                            "await-post 20000\n"
                            "expect switch 0\n"
                            "expect posts 0\n"
                            "press up\n"
                            "expect unhandled\n",
                            out, err);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!fs::exists(ready) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(fs::exists(ready));
  Outcome preferences = sim({"--root", root, "--process", "Preferences", "-"}, "switch off\nexpect posts 1\n");
  EXPECT_EQ(preferences.exit, 0) << preferences.out << preferences.err;
  Outcome run = finish(springBoard, out, err);
  EXPECT_EQ(run.exit, 0) << run.out << run.err;
  EXPECT_TRUE(has(run.out, "change notification delivered to 2 observers")) << run.out;
}

TEST(Cli, TheDemoPlaysThroughWithoutSurprises) {
  Outcome run = sim({"demo"});
  EXPECT_EQ(run.exit, 0) << run.out << run.err;
  for (const char* part : {"Force mode", "keyboard", "LVDisable-", "disableSpringBoard", "lock screen",
                           "In Preferences", "await-post", "backlight"})
    EXPECT_TRUE(has(run.out, part)) << part;
  EXPECT_FALSE(has(run.out, "   ! ")) << run.out;
}

// An installed prefix carries its own deliverables and simulated iOS.
TEST(Cli, AnInstalledCopyUsesTheDeliverablesInstalledWithIt) {
  testing_support::TempRoot prefix;
  Outcome install = runProgram(LUMIVO_CMAKE, {"--install", LUMIVO_BUILD_DIR, "--component", "simulator", "--prefix",
                                          prefix.path()});
  ASSERT_EQ(install.exit, 0) << install.out << install.err;
  const std::string installed = prefix.path() + "/bin/lumivo-sim";
  ASSERT_TRUE(fs::exists(installed));
  ASSERT_TRUE(fs::exists(prefix.path() + "/lib/libLumivoSim.so"));

  Outcome help = runProgram(installed, {"--help"});
  EXPECT_TRUE(has(help.out, "Deliverables: " + prefix.path() + "/share/lumivo/device-root")) << help.out;

  const std::string root = prefix.path() + "/device";
  Outcome run = runProgram(installed, {"--root", root, "-"},
                       "brightness 0.5\npress down\nexpect level 0.45\nswitch alt\nalert tap 3\n"
                       "expect opened prefs:root=Lumivo2\n");
  EXPECT_EQ(run.exit, 0) << run.out << run.err;
  EXPECT_TRUE(has(run.out, "deliverables from " + prefix.path() + "/share/lumivo/device-root")) << run.out;
  EXPECT_TRUE(fs::exists(root + "/Library/MobileSubstrate/DynamicLibraries/Lumivo2.dylib"));
}

// A plain install lays out the simulator only; the device's own paths go
// under a prefix only when their component is asked for.
TEST(Cli, DevicePathsAreInstalledOnlyWhenAskedFor) {
  testing_support::TempRoot plain;
  Outcome install = runProgram(LUMIVO_CMAKE, {"--install", LUMIVO_BUILD_DIR, "--prefix", plain.path()});
  ASSERT_EQ(install.exit, 0) << install.out << install.err;
  EXPECT_TRUE(fs::exists(plain.path() + "/bin/lumivo-sim"));
  EXPECT_FALSE(fs::exists(plain.path() + "/Library")) << install.out;

  testing_support::TempRoot device;
  install = runProgram(LUMIVO_CMAKE, {"--install", LUMIVO_BUILD_DIR, "--component", "device", "--prefix", device.path()});
  ASSERT_EQ(install.exit, 0) << install.out << install.err;
  EXPECT_TRUE(fs::exists(device.path() + "/Library/MobileSubstrate/DynamicLibraries/Lumivo2.dylib"));
  EXPECT_TRUE(fs::exists(device.path() + "/Library/Switches/Lumivo.bundle/Info.plist"));
  EXPECT_FALSE(fs::exists(device.path() + "/bin"));
}

// ---- hostile input: a script, a root or a command line made to do harm

TEST(Hostile, InputsWithoutAnEndAreRefused) {
  Outcome zero = sim({"/dev/zero"});
  EXPECT_EQ(zero.exit, 2);
  EXPECT_EQ(zero.err, "lumivo-sim: cannot read the script /dev/zero: it is not a regular file\n");
  Outcome flood = sim({"-"}, std::string((std::size_t{16} << 20) + 1, '\n'));
  EXPECT_EQ(flood.exit, 2);
  EXPECT_TRUE(has(flood.err, "cannot read the script from standard input: it holds more than 16 MiB")) << flood.err;
  Outcome copy = sim({"-"}, "home\npref copy /dev/zero\nput /x /dev/zero\n");
  EXPECT_EQ(copy.exit, 2);
  EXPECT_TRUE(has(copy.err, "line 2: pref copy: cannot read \"/dev/zero\": it is not a regular file")) << copy.err;
  EXPECT_TRUE(has(copy.err, "line 3: put: cannot read \"/dev/zero\": it is not a regular file")) << copy.err;
  Outcome line = sim({"-"}, "home\npref set k \"" + std::string(70000, 'a') + "\"\n");
  EXPECT_EQ(line.exit, 2);
  EXPECT_TRUE(has(line.err, "line 2: the line is longer than 64 KiB")) << line.err;
}

TEST(Hostile, NulBytesAndInvalidUtf8AreScriptErrors) {
  using namespace std::string_literals;
  Outcome run = sim({"-"}, "pref set k\0j 5\npref set k \"a\0b\"\nlaunch \xff\n"s);
  EXPECT_EQ(run.exit, 2);
  EXPECT_TRUE(has(run.err, "standard input, line 1: word 3 holds a NUL byte")) << run.err;
  EXPECT_TRUE(has(run.err, "standard input, line 2: word 4 holds a NUL byte")) << run.err;
  EXPECT_TRUE(has(run.err, "standard input, line 3: word 2 is not valid UTF-8")) << run.err;
}

TEST(Hostile, AnEditTheDeviceRefusesFailsTheCommandThatMadeIt) {
  testing_support::TempRoot parent;
  const std::string root = parent.path() + "/device";
  ASSERT_EQ(sim({"--root", root, "-"}, "status\n").exit, 0);
  fs::create_directories(root + "/var/mobile/Library/Preferences/com.vantorel.lumivo.plist");
  Outcome tap = sim({"--root", root, "-"}, "switch off\n");
  EXPECT_EQ(tap.exit, 1);
  EXPECT_TRUE(has(tap.err, "line 1: switch off: cannot read /var/mobile/Library/Preferences/com.vantorel.lumivo.plist: "
                           "it is a folder, not a file; the edit is refused"))
      << tap.err;
}

TEST(Hostile, LinksInTheRootLeadNowhereOutsideIt) {
  testing_support::TempRoot parent, outside;
  const std::string root = parent.path() + "/device";
  ASSERT_EQ(sim({"--root", root, "-"}, "status\n").exit, 0);
  parent.put("/file", "x");
  ASSERT_EQ(symlink(outside.path().c_str(), (root + "/escape").c_str()), 0);
  Outcome put = sim({"--root", root, "-"}, "put /escape/f " + parent.path() + "/file\n");
  EXPECT_EQ(put.exit, 1) << put.out << put.err;
  EXPECT_TRUE(has(put.err, "could not write /escape/f")) << put.err;

  const std::string preferences = root + "/var/mobile/Library/Preferences";
  fs::remove_all(preferences);
  ASSERT_EQ(symlink(outside.path().c_str(), preferences.c_str()), 0);
  Outcome tap = sim({"--root", root, "-"}, "switch off\npref set enabled false\npref clear\n");
  EXPECT_EQ(tap.exit, 1);
  EXPECT_TRUE(has(tap.err, "line 3: pref clear: cannot take the writers' lock")) << tap.out << tap.err;
  EXPECT_TRUE(fs::is_empty(outside.path()));

  outside.put("/victim", "precious");
  fs::remove(preferences);
  fs::create_directory(preferences);
  ASSERT_EQ(symlink(outside.host("/victim").c_str(), (root + "/.sim/notify/evil.fifo").c_str()), 0);
  parent.put("/device/.sim/notify/plain.fifo", "plain");
  Outcome post = sim({"--root", root, "-"}, "switch off\npost\n");
  EXPECT_EQ(post.exit, 0) << post.out << post.err;
  EXPECT_EQ(outside.get("/victim"), "precious");
  EXPECT_EQ(parent.get("/device/.sim/notify/plain.fifo"), "plain");
}

TEST(Hostile, ANotificationFolderThatCannotServeStopsTheBoot) {
  testing_support::TempRoot parent;
  const std::string root = parent.path() + "/device";
  ASSERT_EQ(sim({"--root", root, "-"}, "status\n").exit, 0);
  fs::remove_all(root + "/.sim");
  parent.put("/device/.sim", "not a folder");
  Outcome run = sim({"--root", root, "-"}, "switch off\n");
  EXPECT_EQ(run.exit, 2);
  EXPECT_TRUE(has(run.err, "lumivo-sim: cannot use " + root + "/.sim/notify for notifications")) << run.err;
  EXPECT_FALSE(has(run.out, "> switch off")) << run.out;
}

// A process that ends while a post is on its way to its pipe is no user
// interrupting this one: the post to it is dropped and the script goes on.
TEST(Hostile, APeerLeavingMidPostIsNoInterrupt) {
  testing_support::TempRoot parent;
  const std::string root = parent.path() + "/device";
  ASSERT_EQ(sim({"--root", root, "-"}, "status\n").exit, 0);
  const std::string peer = root + "/.sim/notify/peer.fifo";
  std::atomic<bool> done = false;
  std::thread comingAndGoing([&] {
    while (!done) {
      mkfifo(peer.c_str(), 0600);
      int fd = open(peer.c_str(), O_RDONLY | O_NONBLOCK);
      if (fd >= 0) close(fd);
    }
  });
  std::string posts;
  for (int i = 0; i < 5000; ++i) posts += "post\n";
  Outcome run = sim({"--root", root, "-"}, posts);
  done = true;
  comingAndGoing.join();
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_FALSE(has(run.err, "interrupted")) << run.err;
}

// A newline in the name cannot split the banner into lines of its own.
TEST(Hostile, ARootNameIsShownEscaped) {
  testing_support::TempRoot parent;
  Outcome run = sim({"--root", parent.path() + "/a\nb", "-"}, "status\n");
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_TRUE(has(run.out, "device root " + parent.path() + "/a\\nb, deliverables from ")) << run.out;
}

TEST(Hostile, PipesOfEndedProcessesAreRemovedAtBoot) {
  testing_support::TempRoot parent;
  const std::string root = parent.path() + "/device";
  ASSERT_EQ(sim({"--root", root, "-"}, "status\n").exit, 0);
  const std::string stale = root + "/.sim/notify/999999-3.fifo";
  ASSERT_EQ(mkfifo(stale.c_str(), 0600), 0);
  ASSERT_EQ(sim({"--root", root, "-"}, "status\n").exit, 0);
  EXPECT_FALSE(fs::exists(stale));
}

TEST(Hostile, OptionsThatWouldMisleadAreRefused) {
  testing_support::TempRoot parent;
  Outcome twice = sim({"--root", parent.path() + "/a", "--root", parent.path() + "/b", "-"}, "status\n");
  EXPECT_EQ(twice.exit, 2);
  EXPECT_TRUE(has(twice.err, "--root is given more than once")) << twice.err;
  EXPECT_EQ(sim({"--process", "Preferences", "--process", "SpringBoard", "-"}, "status\n").exit, 2);
  EXPECT_TRUE(fs::is_empty(parent.path()));

  const std::string fifo = parent.path() + "/ready.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  Outcome ready = sim({"--ready-file", fifo, "-"}, "status\n");
  EXPECT_EQ(ready.exit, 2);
  EXPECT_TRUE(has(ready.err, "--ready-file " + fifo + ": not a regular file is in the way")) << ready.err;
  ASSERT_EQ(symlink("/etc/passwd", (parent.path() + "/ready.link").c_str()), 0);
  EXPECT_EQ(sim({"--ready-file", parent.path() + "/ready.link", "-"}, "status\n").exit, 2);
}

}  // namespace
