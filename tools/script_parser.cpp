#include "tools/script_parser.h"

#include <filesystem>

#include "sim/plist/unicode.h"
#include "tools/command_table.h"
#include "tools/input_files.h"
#include "tools/numbers.h"
#include "tools/printable.h"

namespace fs = std::filesystem;

namespace tools {
namespace {

// A line's reason for not being a command, or none.
using Problem = std::optional<std::string>;

std::string quoted(const Token& token) {
  if (!token.quoted) return token.text;
  std::string out = "\"";
  for (char c : token.text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// A word as error messages quote it: escaped, so that an invisible or
// controlling character in it shows.
std::string shown(const std::string& text) { return "\"" + printable(text) + "\""; }

bool bare(const Token& token, std::string_view word) { return !token.quoted && token.text == word; }

// "a, b or c".
std::string listOf(const std::vector<std::string>& words, std::string_view last) {
  std::string out;
  for (std::size_t i = 0; i < words.size(); ++i)
    out += (i == 0 ? "" : i + 1 == words.size() ? std::string(" ") + std::string(last) + " " : ", ") + words[i];
  return out;
}

bool isDeviceFilePath(const std::string& path) {
  bool climbs = false;
  for (const auto& part : fs::path(path)) climbs |= part == "..";
  return !path.empty() && path.front() == '/' && path.back() != '/' && !climbs;
}

// Reads token `token` as an argument of kind `arg` of the command `name`.
Problem parseArgument(const ArgDef& arg, const Token& token, const std::string& name, const std::string& baseDir,
                      Command::Argument& out) {
  const std::string& text = token.text;
  switch (arg.kind) {
    case ArgKind::Real: {
      auto value = parseReal(text);
      if (!value || token.quoted) return name + ": " + shown(text) + " is not a number";
      out = *value;
      return std::nullopt;
    }
    case ArgKind::Integer: {
      auto value = parseInteger(text);
      if (!value || token.quoted || *value < arg.low || *value > arg.high)
        return name + ": " + shown(text) + " is not " + std::string(arg.what);
      out = *value;
      return std::nullopt;
    }
    case ArgKind::Word:
      if (text.empty() && !arg.emptyError.empty()) return name + ": " + std::string(arg.emptyError);
      out = text;
      return std::nullopt;
    case ArgKind::WordOrNone:
      out = bare(token, "none") ? std::string() : text;
      return std::nullopt;
    case ArgKind::Value:
    case ArgKind::ValueOrAbsent: {
      if (arg.kind == ArgKind::ValueOrAbsent && bare(token, "absent")) {
        out = std::optional<PrefValue>();
        return std::nullopt;
      }
      auto value = parsePrefValue(text, token.quoted);
      if (!value)
        return name + ": " + shown(text) +
               " is not a value (write true, false, an integer, a real with a dot, or a \"quoted string\")";
      out = std::optional<PrefValue>(std::move(*value));
      return std::nullopt;
    }
    case ArgKind::DevicePath:
      if (!isDeviceFilePath(text))
        return name + ": " + shown(text) +
               " is not a device file path (write it in full, e.g. /var/mobile/Library/Preferences/x.plist)";
      out = text;
      return std::nullopt;
    case ArgKind::File: {
      fs::path path = text;
      if (path.is_relative() && !baseDir.empty()) path = fs::path(baseDir) / path;
      if (auto why = unreadableBecause(path.string(), kMaxInputBytes)) {
        if (*why == "it is a folder") return name + ": " + shown(text) + " is a folder, not a file";
        return name + ": cannot read " + shown(text) + ": " + *why;
      }
      out = path.string();
      return std::nullopt;
    }
  }
  return name + ": an argument of an unknown kind";
}

// Reads the arguments that follow the `nameWords` words naming `def`.
Problem parseArguments(const CommandDef& def, std::size_t nameWords, const std::vector<Token>& tokens,
                       const std::string& baseDir, Command& command) {
  const std::string name(def.name);
  std::size_t required = 0;
  for (const auto& arg : def.args) required += !(arg.kind == ArgKind::Integer && arg.fallback);
  std::string usage = usageOf(def);
  if (!def.example.empty()) usage += ", e.g. " + std::string(def.example);
  if (tokens.size() < nameWords + required) return name + ": missing argument (usage: " + usage + ")";
  if (tokens.size() > nameWords + def.args.size())
    return name + ": unexpected " + shown(tokens[nameWords + def.args.size()].text) + " (usage: " + usage + ")";
  command.def = &def;
  for (std::size_t i = 0; i < def.args.size(); ++i) {
    Command::Argument argument;
    if (nameWords + i < tokens.size()) {
      if (Problem problem = parseArgument(def.args[i], tokens[nameWords + i], name, baseDir, argument))
        return problem;
    } else {
      argument = *def.args[i].fallback;
    }
    command.args.push_back(std::move(argument));
  }
  return std::nullopt;
}

// Finds the command the tokens name and reads its arguments. `listed` says
// where the commands are listed.
Problem parseTokens(const std::vector<Token>& tokens, const std::string& baseDir, std::string_view listed,
                    Command& command) {
  const Token& first = tokens[0];
  const auto group = first.quoted ? std::vector<const CommandDef*>() : commandGroup(first.text);
  if (group.empty()) return "unknown command " + shown(first.text) + " (" + std::string(listed) + ")";
  const CommandDef* single = nullptr;
  std::vector<std::string> seconds;
  for (const CommandDef* def : group) {
    if (def->name == first.text) single = def;
    else seconds.emplace_back(def->name.substr(first.text.size() + 1));
  }
  if (seconds.empty()) return parseArguments(*single, 1, tokens, baseDir, command);
  if (tokens.size() >= 2) {
    for (const CommandDef* def : group)
      if (def != single && bare(tokens[1], def->name.substr(first.text.size() + 1)))
        return parseArguments(*def, 2, tokens, baseDir, command);
  } else if (single) {
    return parseArguments(*single, 1, tokens, baseDir, command);
  }
  // The group's words are checks (`expect level`, ...) or actions (`press up`, ...).
  std::string kinds;
  for (const auto& word : seconds) kinds += (kinds.empty() ? "" : ", ") + word;
  if (group.front()->expectation) {
    if (tokens.size() < 2) return first.text + ": missing what to expect (" + kinds + ")";
    return first.text + ": unknown expectation " + shown(tokens[1].text) + " (" + kinds + ")";
  }
  const std::string usage = " (usage: " + groupUsage(first.text) + ")";
  if (tokens.size() < 2) return first.text + ": missing argument" + usage;
  return first.text + ": " + shown(tokens[1].text) + " is not " + listOf(seconds, "or") + usage;
}

}  // namespace

std::optional<std::vector<Token>> tokenize(std::string_view line, std::string* error) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c == '#') break;
    Token token;
    if (c == '"') {
      token.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\') {
          if (i >= line.size() || (line[i] != '"' && line[i] != '\\')) {
            if (error) *error = "unknown escape in quoted text (only \\\" and \\\\ are allowed)";
            return std::nullopt;
          }
          d = line[i++];
        }
        token.text += d;
      }
      if (!closed) {
        if (error) *error = "unterminated quote";
        return std::nullopt;
      }
      if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
        if (error) *error = "text follows a closing quote without a space";
        return std::nullopt;
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '\n') {
        if (line[i] == '"') {
          if (error) *error = "a quote in the middle of a word";
          return std::nullopt;
        }
        token.text += line[i++];
      }
    }
    // A NUL would cut a key or value short on its way into the settings.
    if (!plist::unicode::isValidUtf8(token.text)) {
      if (error)
        *error = "word " + std::to_string(tokens.size() + 1) +
                 (token.text.find('\0') != std::string::npos ? " holds a NUL byte" : " is not valid UTF-8");
      return std::nullopt;
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

ParsedLine parseLine(std::string_view text, int number, const std::string& baseDir) {
  ParsedLine result;
  if (text.size() > kMaxLineBytes) {
    result.error = "the line is longer than " + describeLimit(kMaxLineBytes);
    return result;
  }
  auto tokens = tokenize(text, &result.error);
  if (!tokens || tokens->empty()) return result;
  Command command;
  // The shell lists the commands itself.
  const std::string_view listed = number == 0 ? "help lists the commands" : "see the list with lumivo-sim --help";
  if (Problem problem = parseTokens(*tokens, baseDir, listed, command)) {
    result.error = std::move(*problem);
    return result;
  }
  command.line = number;
  for (const auto& token : *tokens) command.text += (command.text.empty() ? "" : " ") + quoted(token);
  result.command = std::move(command);
  return result;
}

Script parseScript(std::string_view text, const std::string& baseDir) {
  Script script;
  // Editors that save UTF-8 with a byte-order mark put it before the first
  // command: it marks the encoding and is no part of the text.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    ++number;
    ParsedLine parsed = parseLine(text.substr(start, end - start), number, baseDir);
    if (!parsed.error.empty()) script.errors.push_back({number, parsed.error});
    else if (parsed.command) script.commands.push_back(std::move(*parsed.command));
    start = end + 1;
  }
  return script;
}

}  // namespace tools
