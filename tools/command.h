// The script language's commands as declared in one table
// (tools/command_table.h), and one parsed line of a script.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tools/expectations.h"
#include "tools/pref_value.h"

namespace tools {

class Session;
struct Command;

// What an argument accepts, and what a parsed command holds for it.
enum class ArgKind {
  Real,           // a finite decimal real, unquoted: a double
  Integer,        // a decimal integer within the declared range, unquoted: a long long
  Word,           // any word: its text
  Value,          // a typed settings value (true, 5, 0.5, "text"): a PrefValue
  ValueOrAbsent,  // a value, or the bare word `absent`: a PrefValue or none
  WordOrNone,     // a word, or the bare word `none`: its text, empty for none
  DevicePath,     // a full device file path that does not climb with "..": its text
  File,           // a regular host file within the input limit, relative to the
                  // script's folder: its path, read when the command runs
};

struct ArgDef {
  ArgKind kind = ArgKind::Word;
  // How usage lines show it: "V", "KEY", "MS".
  std::string_view placeholder;
  // Integer: the range accepted, and what the number is for the error
  // message ("a button index").
  long long low = 0, high = 0;
  std::string_view what = {};
  // Integer: the value when the argument is left out, which makes it
  // optional (only the last argument can be).
  std::optional<long long> fallback = {};
  // Word: the error when it is empty ("the key is empty"); empty words are
  // accepted when this is empty.
  std::string_view emptyError = {};
};

// One command: everything the parser, --help, the shell's completion and
// the error messages know about it.
struct CommandDef {
  // The words that name it, e.g. "pref set". Commands that share a first
  // word form a group ("pref ..."), which errors and completion list.
  std::string_view name;
  std::vector<ArgDef> args;
  // What it does, for the reference; "\n" starts a continuation line.
  std::string_view help;
  // Carries it out on the session; returns what went wrong.
  Failure (*run)(Session& session, const Command& command) = nullptr;
  // An `expect ...` check, counted and reported as one.
  bool expectation = false;
  // A sample use, shown in usage errors ("brightness 0.5").
  std::string_view example = {};
  // Its output is the device's state or the reference already, so the shell
  // prints no status line after it.
  bool showsState = false;
};

// One parsed line: the command and its arguments, in declaration order.
struct Command {
  using Argument = std::variant<double, long long, std::string, std::optional<PrefValue>>;

  const CommandDef* def = nullptr;
  int line = 0;      // 1-based line in the script, 0 when typed in the shell
  std::string text;  // the line as written, without its comment
  std::vector<Argument> args;

  // The argument at `i`, as its kind declares it.
  double real(std::size_t i) const { return std::get<double>(args.at(i)); }
  long long integer(std::size_t i) const { return std::get<long long>(args.at(i)); }
  const std::string& word(std::size_t i) const { return std::get<std::string>(args.at(i)); }
  const std::optional<PrefValue>& value(std::size_t i) const { return std::get<std::optional<PrefValue>>(args.at(i)); }

  // True when it is the command named `name`.
  bool is(std::string_view name) const { return def && def->name == name; }
  bool isExpectation() const { return def && def->expectation; }
};

}  // namespace tools
