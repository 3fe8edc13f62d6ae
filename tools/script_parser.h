// Reads scripts: one command per line, `#` at the start of a word begins a
// comment, and "double quotes" make one word of text with spaces (a
// backslash escapes a quote or a backslash inside them). Which commands
// exist and what they take comes from the command table
// (tools/command_table.h). Files that a command names are checked while
// parsing, relative to the script's folder, so that a script with a missing
// file is rejected before it runs; they are read when the command runs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/command.h"

namespace tools {

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits a line into words. None, with `error` set, for an unterminated
// quote, an unknown escape, or a word that holds a NUL byte or is not
// valid UTF-8.
std::optional<std::vector<Token>> tokenize(std::string_view line, std::string* error);

struct ParsedLine {
  std::optional<Command> command;  // none for a blank or comment-only line
  std::string error;               // why the line is not a valid command; empty when it is
};

// Parses one line. `number` is its line number (0 in the shell, whose own
// `help` an unknown command points at); relative file names are taken from
// `baseDir`.
ParsedLine parseLine(std::string_view text, int number, const std::string& baseDir);

struct ScriptError {
  int line = 0;
  std::string message;
};

struct Script {
  std::vector<Command> commands;
  std::vector<ScriptError> errors;  // every bad line, in order
};

// Parses a whole script; a UTF-8 byte-order mark before it is skipped.
Script parseScript(std::string_view text, const std::string& baseDir);

}  // namespace tools
