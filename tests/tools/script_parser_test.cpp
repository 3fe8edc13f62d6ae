#include "tools/script_parser.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/input_files.h"

#include "tests/support/temp_root.h"

namespace tools {
namespace {

Command parsed(const std::string& line, const std::string& baseDir = "") {
  ParsedLine p = parseLine(line, 7, baseDir);
  EXPECT_EQ(p.error, "") << line;
  EXPECT_TRUE(p.command.has_value()) << line;
  return p.command.value_or(Command{});
}

std::string errorOf(const std::string& line, const std::string& baseDir = "") {
  ParsedLine p = parseLine(line, 1, baseDir);
  EXPECT_FALSE(p.command.has_value()) << line;
  return p.error;
}

TEST(Tokenize, QuotesKeepSpacesAndEscapes) {
  std::string error;
  auto tokens = tokenize(R"(pref set "a key" "say \"hi\" \\ ok")", &error);
  ASSERT_TRUE(tokens) << error;
  ASSERT_EQ(tokens->size(), 4u);
  EXPECT_EQ((*tokens)[2].text, "a key");
  EXPECT_TRUE((*tokens)[2].quoted);
  EXPECT_EQ((*tokens)[3].text, R"(say "hi" \ ok)");
  EXPECT_FALSE((*tokens)[0].quoted);
}

TEST(Tokenize, HashStartsACommentOnlyAtTheStartOfAWord) {
  auto tokens = tokenize("expect opened prefs:root=A#frag  # the pane", nullptr);
  ASSERT_TRUE(tokens);
  ASSERT_EQ(tokens->size(), 3u);
  EXPECT_EQ((*tokens)[2].text, "prefs:root=A#frag");
  auto quotedHash = tokenize(R"(pref set k "# not a comment")", nullptr);
  ASSERT_TRUE(quotedHash);
  EXPECT_EQ(quotedHash->back().text, "# not a comment");
}

TEST(Tokenize, RejectsBrokenQuoting) {
  std::string error;
  EXPECT_FALSE(tokenize(R"(pref set k "open)", &error));
  EXPECT_EQ(error, "unterminated quote");
  EXPECT_FALSE(tokenize(R"(pref set k "a\tb")", &error));
  EXPECT_NE(error.find("unknown escape"), std::string::npos);
  EXPECT_FALSE(tokenize(R"(pref set k a"b")", &error));
  EXPECT_FALSE(tokenize(R"(pref set k "a"b)", &error));
  EXPECT_TRUE(tokenize("pref set k \"ends in backslash\\\\\"", &error)) << error;
}

TEST(ParseLine, BlankAndCommentLinesHoldNoCommand) {
  for (const char* line : {"", "   \t", "# only a comment", "   # indented comment\r"}) {
    ParsedLine p = parseLine(line, 3, "");
    EXPECT_FALSE(p.command) << line;
    EXPECT_EQ(p.error, "") << line;
  }
}

TEST(ParseLine, RecordsLineNumberAndTextWithoutComment) {
  Command c = parsed("  press   up   # step");
  EXPECT_TRUE(c.is("press up"));
  EXPECT_EQ(c.line, 7);
  EXPECT_EQ(c.text, "press up");
  EXPECT_EQ(parsed(R"(pref set "a b" "x\"y")").text, R"(pref set "a b" "x\"y")");
}

TEST(ParseLine, SwitchForms) {
  EXPECT_TRUE(parsed("switch").is("switch"));
  Command on = parsed("switch on"), off = parsed("switch off"), apply = parsed("switch apply -1");
  EXPECT_TRUE(on.is("switch on"));
  EXPECT_TRUE(off.is("switch off"));
  EXPECT_TRUE(apply.is("switch apply"));
  EXPECT_EQ(apply.integer(0), -1);
  EXPECT_TRUE(parsed("switch alt").is("switch alt"));
  EXPECT_EQ(parsed("switch apply 2147483647").integer(0), 2147483647);
  EXPECT_NE(errorOf("switch apply 2147483648").find("is not a switch state"), std::string::npos);
}

TEST(ParseLine, AlertIndexesMayBeNegative) {
  Command c = parsed("alert tap -3");
  EXPECT_TRUE(c.is("alert tap"));
  EXPECT_EQ(c.integer(0), -3);
  EXPECT_NE(errorOf("alert tap").find("missing argument"), std::string::npos);
  EXPECT_NE(errorOf("alert press 1").find("alert tap N"), std::string::npos);
}

TEST(ParseLine, AwaitPostDefaultsToFiveSeconds) {
  EXPECT_EQ(parsed("await-post").integer(0), 5000);
  EXPECT_EQ(parsed("await-post 250").integer(0), 250);
  EXPECT_EQ(parsed("wait 0").integer(0), 0);
  EXPECT_NE(errorOf("await-post 1 2").find("unexpected \"2\""), std::string::npos);
  EXPECT_NE(errorOf("wait 3600001").find("is not a number of milliseconds"), std::string::npos);
}

TEST(ParseLine, PrefValuesAreTyped) {
  Command b = parsed("pref set enabled false");
  EXPECT_EQ(b.word(0), "enabled");
  ASSERT_TRUE(b.value(1));
  EXPECT_EQ(b.value(1)->kind, PrefValue::Kind::Boolean);
  EXPECT_FALSE(b.value(1)->boolean);
  EXPECT_EQ(parsed("pref set Increment 0.1").value(1)->kind, PrefValue::Kind::Real);
  EXPECT_EQ(parsed("pref set Increment 1").value(1)->kind, PrefValue::Kind::Integer);
  EXPECT_EQ(parsed(R"(pref set name "true")").value(1)->kind, PrefValue::Kind::String);
  EXPECT_NE(errorOf("pref set enabled yes").find("\"yes\" is not a value"), std::string::npos);
  EXPECT_NE(errorOf(R"(pref set "" true)").find("the key is empty"), std::string::npos);
}

TEST(ParseLine, AbsentAndNoneAreKeywordsOnlyWhenUnquoted) {
  Command absent = parsed("expect pref forceMode absent");
  EXPECT_TRUE(absent.is("expect pref"));
  EXPECT_FALSE(absent.value(1));
  Command literal = parsed(R"(expect pref note "absent")");
  ASSERT_TRUE(literal.value(1));
  EXPECT_EQ(literal.value(1)->string, "absent");
  EXPECT_EQ(parsed("expect opened none").word(0), "");
  EXPECT_EQ(parsed(R"(expect opened "none")").word(0), "none");
  EXPECT_EQ(parsed("expect opened prefs:root=Tweaks&path=Lumivo2").word(0), "prefs:root=Tweaks&path=Lumivo2");
}

TEST(ParseLine, NumbersMustBePlainFiniteDecimals) {
  EXPECT_DOUBLE_EQ(parsed("brightness .25").real(0), 0.25);
  EXPECT_DOUBLE_EQ(parsed("expect level -0.05").real(0), -0.05);
  EXPECT_DOUBLE_EQ(parsed("expect brightness 1e-3").real(0), 0.001);
  for (const char* bad : {"brightness nan", "brightness inf", "brightness 0x1p-1", "brightness 1e999",
                          "brightness +0.5", "brightness 0.5.1", "brightness \"0.5\"", "brightness"}) {
    EXPECT_NE(errorOf(bad), "") << bad;
  }
  EXPECT_EQ(errorOf("brightness half"), "brightness: \"half\" is not a number");
  EXPECT_NE(errorOf("expect posts -1").find("is not a count"), std::string::npos);
}

TEST(ParseLine, UnknownCommandsAndKindsAreNamed) {
  EXPECT_EQ(errorOf("frobnicate 3"), "unknown command \"frobnicate\" (see the list with lumivo-sim --help)");
  EXPECT_NE(errorOf("expect lvl 1").find("unknown expectation \"lvl\""), std::string::npos);
  EXPECT_NE(errorOf("press").find("missing argument (usage: press up|down)"), std::string::npos);
  EXPECT_NE(errorOf("keyboard up").find("not show or hide"), std::string::npos);
  EXPECT_NE(errorOf("lock now").find("unexpected \"now\""), std::string::npos);
  EXPECT_NE(errorOf("pref wipe").find("is not set, delete, clear, copy or show"), std::string::npos);
  EXPECT_EQ(parseLine("frobnicate", 0, "").error, "unknown command \"frobnicate\" (help lists the commands)");
}

// A byte-order mark opening a script is skipped; anywhere else it is shown
// escaped, never as the invisible bytes.
TEST(ParseScript, AByteOrderMarkIsSkippedOrShown) {
  Script script = parseScript("\xEF\xBB\xBFhome\n\xEF\xBB\xBFhome\n", "");
  ASSERT_EQ(script.errors.size(), 1u);
  EXPECT_EQ(script.errors[0].line, 2);
  EXPECT_EQ(script.errors[0].message, "unknown command \"\\u{feff}home\" (see the list with lumivo-sim --help)");
  ASSERT_EQ(script.commands.size(), 1u);
  EXPECT_TRUE(script.commands[0].is("home"));
}

TEST(ParseLine, FilesAreFoundRelativeToTheScriptFolder) {
  testing_support::TempRoot dir;
  dir.put("/data/settings.plist", "bytes here");
  Command copy = parsed("pref copy data/settings.plist", dir.path());
  EXPECT_TRUE(copy.is("pref copy"));
  EXPECT_EQ(copy.word(0), dir.host("/data/settings.plist"));
  Command absolute = parsed("pref copy " + dir.host("/data/settings.plist"), "/nonexistent");
  EXPECT_EQ(absolute.word(0), dir.host("/data/settings.plist"));
  Command put = parsed("put /var/mobile/Library/Preferences/x.plist data/settings.plist", dir.path());
  EXPECT_EQ(put.word(0), "/var/mobile/Library/Preferences/x.plist");
  EXPECT_EQ(put.word(1), dir.host("/data/settings.plist"));

  EXPECT_EQ(errorOf("pref copy nothing.plist", dir.path()),
            "pref copy: cannot read \"nothing.plist\": No such file or directory");
  EXPECT_NE(errorOf("pref copy data", dir.path()).find("is a folder"), std::string::npos);
}

// A FIFO or device named as a file would hang the run or never end; a file
// beyond the limit would be held whole in memory.
TEST(ParseLine, FilesMustBeRegularAndWithinTheLimit) {
  testing_support::TempRoot dir;
  ASSERT_EQ(mkfifo(dir.host("/pipe").c_str(), 0600), 0);
  dir.put("/big", "");
  ASSERT_EQ(truncate(dir.host("/big").c_str(), static_cast<off_t>(kMaxInputBytes) + 1), 0);
  dir.put("/just-fits", "");
  ASSERT_EQ(truncate(dir.host("/just-fits").c_str(), static_cast<off_t>(kMaxInputBytes)), 0);
  EXPECT_EQ(errorOf("pref copy /dev/zero"), "pref copy: cannot read \"/dev/zero\": it is not a regular file");
  EXPECT_EQ(errorOf("put /x pipe", dir.path()), "put: cannot read \"pipe\": it is not a regular file");
  EXPECT_EQ(errorOf("pref copy big", dir.path()), "pref copy: cannot read \"big\": it is larger than 16 MiB");
  EXPECT_TRUE(parsed("pref copy just-fits", dir.path()).is("pref copy"));
}

TEST(ParseLine, NulBytesAndInvalidUtf8AreRefused) {
  using namespace std::string_literals;
  EXPECT_EQ(errorOf("pref set k\0j 5"s), "word 3 holds a NUL byte");
  EXPECT_EQ(errorOf("pref set k \"a\0b\""s), "word 4 holds a NUL byte");
  EXPECT_EQ(errorOf("launch \xff"), "word 2 is not valid UTF-8");
  EXPECT_EQ(errorOf("launch caf\xc3"), "word 2 is not valid UTF-8");
  EXPECT_EQ(errorOf("pref set k \"\xed\xa0\x80\""), "word 4 is not valid UTF-8");  // a surrogate
  EXPECT_EQ(parsed("launch com.example.caf\xc3\xa9").word(0), "com.example.caf\xc3\xa9");
  // A comment is not read, whatever it holds.
  EXPECT_TRUE(parsed("home # \xff").is("home"));
}

TEST(ParseLine, LinesHaveALimit) {
  EXPECT_EQ(errorOf("pref set k \"" + std::string(kMaxLineBytes, 'a') + "\""), "the line is longer than 64 KiB");
  const std::string longest = "pref set k \"" + std::string(kMaxLineBytes - 13, 'a') + "\"";
  ASSERT_EQ(longest.size(), kMaxLineBytes);
  EXPECT_TRUE(parsed(longest).is("pref set"));
}

TEST(ParseLine, PutNeedsAFullDevicePathInsideTheRoot) {
  testing_support::TempRoot dir;
  dir.put("/f", "x");
  for (const char* path : {"relative/x", "/var/../../etc/passwd", "/var/mobile/", ""}) {
    EXPECT_NE(errorOf(std::string("put \"") + path + "\" f", dir.path()).find("is not a device file path"),
              std::string::npos)
        << path;
  }
}

TEST(ParseScript, ReportsEveryBadLineAndKeepsTheGoodOnes) {
  Script script = parseScript("brightness 0.5\n\nfly\npress up\r\nexpect level x\n# end", "");
  ASSERT_EQ(script.errors.size(), 2u);
  EXPECT_EQ(script.errors[0].line, 3);
  EXPECT_EQ(script.errors[1].line, 5);
  ASSERT_EQ(script.commands.size(), 2u);
  EXPECT_TRUE(script.commands[1].is("press up"));
  EXPECT_EQ(script.commands[1].line, 4);
}

TEST(ParseScript, LastLineWithoutNewlineCounts) {
  Script script = parseScript("home\nlock", "");
  ASSERT_EQ(script.commands.size(), 2u);
  EXPECT_TRUE(script.commands[1].is("lock"));
  EXPECT_EQ(script.commands[1].line, 2);
}

}  // namespace
}  // namespace tools
