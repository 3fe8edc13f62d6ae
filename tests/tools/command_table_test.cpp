// The command table is the one description of the script language: the
// parser, the reference, completion and the error messages must all agree
// with it.
#include "tools/command_table.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/temp_root.h"
#include "tools/help_text.h"
#include "tools/script_parser.h"

namespace tools {
namespace {

// A word that the argument accepts.
std::string sampleFor(const ArgDef& arg, const std::string& file) {
  switch (arg.kind) {
    case ArgKind::Real: return "0.5";
    case ArgKind::Integer: return std::to_string(arg.low > 0 ? arg.low : arg.high < 0 ? arg.high : 0);
    case ArgKind::Word: return "w";
    case ArgKind::Value: return "true";
    case ArgKind::ValueOrAbsent: return "absent";
    case ArgKind::WordOrNone: return "none";
    case ArgKind::DevicePath: return "/var/mobile/x";
    case ArgKind::File: return file;
  }
  return "";
}

TEST(CommandTable, EveryCommandParsesAsItselfFromItsDeclaration) {
  testing_support::TempRoot dir;
  dir.put("/f", "x");
  std::set<std::string_view> names;
  for (const CommandDef& def : commandTable()) {
    EXPECT_TRUE(names.insert(def.name).second) << "declared twice: " << def.name;
    ASSERT_NE(def.run, nullptr) << def.name;
    std::string line(def.name);
    for (const auto& arg : def.args) line += " " + sampleFor(arg, dir.host("/f"));
    ParsedLine parsed = parseLine(line, 1, "");
    ASSERT_TRUE(parsed.command) << line << ": " << parsed.error;
    EXPECT_EQ(parsed.command->def, &def) << line;
    EXPECT_EQ(parsed.command->args.size(), def.args.size()) << line;
    EXPECT_EQ(parsed.command->isExpectation(), def.name.substr(0, 7) == "expect ") << line;
  }
}

TEST(CommandTable, OnlyTheLastArgumentIsOptional) {
  for (const CommandDef& def : commandTable())
    for (std::size_t i = 0; i + 1 < def.args.size(); ++i) EXPECT_FALSE(def.args[i].fallback) << def.name;
}

TEST(CommandTable, TheReferenceListsEveryCommandWithItsUsage) {
  const std::string reference = commandReference();
  for (const CommandDef& def : commandTable()) {
    const std::string usage = "\n  " + usageOf(def);
    const auto at = reference.find(usage);
    ASSERT_NE(at, std::string::npos) << usage;
    EXPECT_TRUE(reference[at + usage.size()] == ' ' || reference[at + usage.size()] == '\n') << usage;
    EXPECT_NE(reference.find(std::string(def.help.substr(0, def.help.find('\n')))), std::string::npos)
        << def.name;
  }
  EXPECT_NE(usageText().find(reference), std::string::npos) << "--help ends with the reference";
}

TEST(CommandTable, MissingArgumentsAreReportedWithTheDeclaredUsage) {
  for (const CommandDef& def : commandTable()) {
    if (def.args.empty() || def.args.front().fallback) continue;
    ParsedLine parsed = parseLine(def.name, 1, "");
    EXPECT_FALSE(parsed.command) << def.name;
    EXPECT_NE(parsed.error.find(std::string(def.name) + ": missing argument (usage: " + usageOf(def)),
              std::string::npos)
        << parsed.error;
  }
}

TEST(CommandTable, GroupsAndCompletionComeFromTheNames) {
  EXPECT_EQ(groupUsage("press"), "press up|down");
  EXPECT_EQ(groupUsage("switch"), "switch [on|off|apply N|alt]");
  EXPECT_EQ(groupUsage("home"), "home");
  EXPECT_EQ(secondWords("keyboard"), (std::vector<std::string>{"show", "hide"}));
  EXPECT_TRUE(secondWords("brightness").empty());
  const auto first = firstWords();
  EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), first.size()) << "each first word once";
  for (const CommandDef& def : commandTable()) {
    const std::string word(def.name.substr(0, def.name.find(' ')));
    EXPECT_NE(std::find(first.begin(), first.end(), word), first.end()) << word;
  }
  EXPECT_EQ(parseLine("press sideways", 1, "").error, "press: \"sideways\" is not up or down (usage: press up|down)");
}

}  // namespace
}  // namespace tools
