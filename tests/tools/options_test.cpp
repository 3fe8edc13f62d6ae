#include "tools/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace tools {
namespace {

ParsedOptions parse(std::vector<const char*> args, bool terminal = false) {
  return parseOptions(static_cast<int>(args.size()), args.data(), terminal);
}

Options ok(std::vector<const char*> args, bool terminal = false) {
  ParsedOptions p = parse(args, terminal);
  EXPECT_EQ(p.error, "");
  return p.options.value_or(Options{});
}

std::string error(std::vector<const char*> args) {
  ParsedOptions p = parse(args);
  EXPECT_FALSE(p.options);
  return p.error;
}

TEST(Options, WithoutAScriptTheModeFollowsTheTerminal) {
  EXPECT_EQ(ok({}, true).mode, Options::Mode::Shell);
  Options piped = ok({}, false);
  EXPECT_EQ(piped.mode, Options::Mode::Script);
  EXPECT_EQ(piped.script, "-");
  EXPECT_EQ(ok({"-"}, true).script, "-");
  EXPECT_EQ(ok({"demo"}).mode, Options::Mode::Demo);
  EXPECT_EQ(ok({"--", "demo"}).mode, Options::Mode::Demo);
  Options script = ok({"--journal", "s.sim"});
  EXPECT_EQ(script.mode, Options::Mode::Script);
  EXPECT_EQ(script.script, "s.sim");
  EXPECT_TRUE(script.journal);
}

TEST(Options, ValuesTakeEitherSpelling) {
  Options o = ok({"--root", "/r", "--process=Preferences", "--cf-version", "900.5", "--ready-file=/x", "s"});
  EXPECT_EQ(o.root, "/r");
  EXPECT_EQ(o.process, "Preferences");
  EXPECT_DOUBLE_EQ(o.coreFoundationVersion, 900.5);
  EXPECT_EQ(o.readyFile, "/x");
  EXPECT_EQ(ok({"s"}).process, "SpringBoard");
  EXPECT_EQ(ok({"s"}).coreFoundationVersion, 0);
}

TEST(Options, HelpWinsOverEverythingAfterIt) {
  EXPECT_EQ(ok({"--help", "--bogus"}).mode, Options::Mode::Help);
  EXPECT_EQ(ok({"s.sim", "-h"}).mode, Options::Mode::Help);
}

TEST(Options, BadCommandLinesAreExplained) {
  EXPECT_EQ(error({"--bogus"}), "unknown option --bogus");
  EXPECT_EQ(error({"--root"}), "--root needs a value");
  EXPECT_EQ(error({"--root="}), "--root needs a folder");
  EXPECT_NE(error({"--process", "Spring Board"}).find("is not a process name"), std::string::npos);
  EXPECT_NE(error({"--cf-version", "new"}).find("is not a CoreFoundation version"), std::string::npos);
  EXPECT_NE(error({"--cf-version", "-1"}).find("is not a CoreFoundation version"), std::string::npos);
  EXPECT_NE(error({"a.sim", "b.sim"}).find("more than one script"), std::string::npos);
  EXPECT_NE(error({"--process", "Preferences", "demo"}).find("the demo runs in SpringBoard"), std::string::npos);
  EXPECT_EQ(error({"--journal=yes"}), "--journal takes no value");
}

// With two of one option the user cannot tell which one the run used.
TEST(Options, AnOptionWithAValueIsGivenAtMostOnce) {
  EXPECT_EQ(error({"--root", "/a", "--root", "/b", "s"}), "--root is given more than once");
  EXPECT_EQ(error({"--root=/a", "--root", "/a", "s"}), "--root is given more than once");
  EXPECT_EQ(error({"--process", "Preferences", "--process=SpringBoard"}), "--process is given more than once");
  EXPECT_EQ(error({"--cf-version", "800", "--cf-version", "900"}), "--cf-version is given more than once");
  EXPECT_EQ(error({"--ready-file", "/r", "--ready-file", "/r"}), "--ready-file is given more than once");
  EXPECT_EQ(error({"--journal", "s", "--journal"}), "--journal is given more than once");
}

}  // namespace
}  // namespace tools
