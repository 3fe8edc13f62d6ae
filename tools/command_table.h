// The script language, declared once: every command with its name,
// arguments, help line and the function that runs it. The parser, the help
// text, the shell's completion and the error messages are all read from
// here, so they cannot disagree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/command.h"

namespace tools {

// Every command, actions first, then expectations, in the order the
// reference lists them.
const std::vector<CommandDef>& commandTable();

// The commands whose name starts with the word `first`, in table order.
std::vector<const CommandDef*> commandGroup(std::string_view first);
// The first words of all commands, each once, in table order.
std::vector<std::string> firstWords();
// The second words of the group `first` ("up", "down" for "press"); empty
// for a command of one word.
std::vector<std::string> secondWords(std::string_view first);

// "brightness V", "await-post [MS]", "expect pref KEY VALUE|absent".
std::string usageOf(const CommandDef& def);
// The group's usage: "press up|down", "switch [on|off|apply N|alt]".
std::string groupUsage(std::string_view first);

}  // namespace tools
