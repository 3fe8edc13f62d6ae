#include "tools/script_parser.h"

#include <filesystem>
#include <limits>

#include "settings/unicode.h"
#include "tools/input_files.h"
#include "tools/numbers.h"

namespace fs = std::filesystem;

namespace tools {
namespace {

constexpr long long kMaxMilliseconds = 3'600'000;

// A parse failure with its message; thrown only inside this file.
struct Bad {
  std::string message;
};

std::string quoted(const Token& token) {
  if (!token.quoted) return token.text;
  std::string out = "\"";
  for (char c : token.text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

class Line {
 public:
  Line(std::vector<Token> tokens, const std::string& baseDir) : tokens_(std::move(tokens)), baseDir_(baseDir) {}

  // The words that name the command, e.g. "pref set".
  std::string name(std::size_t words) const {
    std::string out;
    for (std::size_t i = 0; i < words && i < tokens_.size(); ++i) out += (i ? " " : "") + tokens_[i].text;
    return out;
  }
  std::size_t size() const { return tokens_.size(); }
  const Token& at(std::size_t i) const { return tokens_[i]; }
  bool is(std::size_t i, std::string_view word) const {
    return i < tokens_.size() && !tokens_[i].quoted && tokens_[i].text == word;
  }

  // Requires exactly `count` tokens in all, `usage` describing them.
  void expectCount(std::size_t count, std::size_t nameWords, const std::string& usage) const {
    if (tokens_.size() < count) throw Bad{name(nameWords) + ": missing argument (usage: " + usage + ")"};
    if (tokens_.size() > count)
      throw Bad{name(nameWords) + ": unexpected \"" + tokens_[count].text + "\" (usage: " + usage + ")"};
  }

  double real(std::size_t i, std::size_t nameWords) const {
    if (auto value = parseReal(tokens_[i].text); value && !tokens_[i].quoted) return *value;
    throw Bad{name(nameWords) + ": \"" + tokens_[i].text + "\" is not a number"};
  }

  long long integer(std::size_t i, std::size_t nameWords, long long low, long long high,
                    const std::string& what) const {
    auto value = parseInteger(tokens_[i].text);
    if (!value || tokens_[i].quoted || *value < low || *value > high)
      throw Bad{name(nameWords) + ": \"" + tokens_[i].text + "\" is not " + what};
    return *value;
  }

  // Names in `command` the file of token `i`, which must be a regular file
  // within the input limit; the command reads it when it runs.
  void file(std::size_t i, std::size_t nameWords, Command& command) const {
    fs::path path = tokens_[i].text;
    if (path.is_relative() && !baseDir_.empty()) path = fs::path(baseDir_) / path;
    command.path = path.string();
    auto why = unreadableBecause(command.path, kMaxInputBytes);
    if (!why) return;
    if (*why == "it is a folder") throw Bad{name(nameWords) + ": \"" + tokens_[i].text + "\" is a folder, not a file"};
    throw Bad{name(nameWords) + ": cannot read \"" + tokens_[i].text + "\": " + *why};
  }

 private:
  std::vector<Token> tokens_;
  const std::string& baseDir_;
};

PrefValue prefValue(const Line& line, std::size_t i, std::size_t nameWords) {
  if (auto value = parsePrefValue(line.at(i).text, line.at(i).quoted)) return *value;
  throw Bad{line.name(nameWords) + ": \"" + line.at(i).text +
            "\" is not a value (write true, false, an integer, a real with a dot, or a \"quoted string\")"};
}

void parsePress(const Line& line, Command& c) {
  line.expectCount(2, 1, "press up|down");
  if (line.is(1, "up")) c.verb = Verb::PressUp;
  else if (line.is(1, "down")) c.verb = Verb::PressDown;
  else throw Bad{"press: \"" + line.at(1).text + "\" is not up or down"};
}

void parseKeyboard(const Line& line, Command& c) {
  line.expectCount(2, 1, "keyboard show|hide");
  if (line.is(1, "show")) c.verb = Verb::KeyboardShow;
  else if (line.is(1, "hide")) c.verb = Verb::KeyboardHide;
  else throw Bad{"keyboard: \"" + line.at(1).text + "\" is not show or hide"};
}

void parseSwitch(const Line& line, Command& c) {
  const std::string usage = "switch [on|off|apply N|alt]";
  if (line.size() == 1) {
    c.verb = Verb::SwitchShow;
  } else if (line.is(1, "on") || line.is(1, "off")) {
    line.expectCount(2, 2, usage);
    c.verb = Verb::SwitchApply;
    c.integer = line.is(1, "on") ? 1 : 0;
  } else if (line.is(1, "apply")) {
    line.expectCount(3, 2, "switch apply N");
    c.verb = Verb::SwitchApply;
    c.integer = line.integer(2, 2, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                             "a switch state (an integer such as 0, 1 or -1)");
  } else if (line.is(1, "alt")) {
    line.expectCount(2, 2, usage);
    c.verb = Verb::SwitchAlternate;
  } else {
    throw Bad{"switch: \"" + line.at(1).text + "\" is not on, off, apply or alt"};
  }
}

void parseAlert(const Line& line, Command& c) {
  if (!line.is(1, "tap")) throw Bad{"alert: expected \"alert tap N\""};
  line.expectCount(3, 2, "alert tap N");
  c.verb = Verb::AlertTap;
  c.integer = line.integer(2, 2, std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max(),
                           "a button index");
}

void parsePref(const Line& line, Command& c) {
  const std::string usage = "pref set KEY VALUE | delete KEY | clear | copy FILE | show";
  if (line.size() < 2) throw Bad{"pref: missing action (usage: " + usage + ")"};
  if (line.is(1, "set")) {
    line.expectCount(4, 2, "pref set KEY VALUE");
    c.verb = Verb::PrefSet;
    c.word = line.at(2).text;
    c.value = prefValue(line, 3, 2);
  } else if (line.is(1, "delete")) {
    line.expectCount(3, 2, "pref delete KEY");
    c.verb = Verb::PrefDelete;
    c.word = line.at(2).text;
  } else if (line.is(1, "clear")) {
    line.expectCount(2, 2, "pref clear");
    c.verb = Verb::PrefClear;
  } else if (line.is(1, "copy")) {
    line.expectCount(3, 2, "pref copy FILE");
    c.verb = Verb::PrefCopy;
    line.file(2, 2, c);
  } else if (line.is(1, "show")) {
    line.expectCount(2, 2, "pref show");
    c.verb = Verb::PrefShow;
  } else {
    throw Bad{"pref: \"" + line.at(1).text + "\" is not set, delete, clear, copy or show"};
  }
  if ((c.verb == Verb::PrefSet || c.verb == Verb::PrefDelete) && c.word.empty())
    throw Bad{line.name(2) + ": the key is empty"};
}

void parsePut(const Line& line, Command& c) {
  line.expectCount(3, 1, "put DEVICE_PATH FILE");
  c.verb = Verb::Put;
  c.word = line.at(1).text;
  const fs::path device = c.word;
  bool climbs = false;
  for (const auto& part : device) climbs |= part == "..";
  if (c.word.empty() || c.word.front() != '/' || c.word.back() == '/' || climbs)
    throw Bad{"put: \"" + c.word +
              "\" is not a device file path (write it in full, e.g. /var/mobile/Library/Preferences/x.plist)"};
  line.file(2, 1, c);
}

void parseExpect(const Line& line, Command& c) {
  const std::string kinds = "level, unhandled, brightness, switch, pref, posts, opened, alerts";
  if (line.size() < 2) throw Bad{"expect: missing what to expect (" + kinds + ")"};
  if (line.is(1, "level")) {
    line.expectCount(3, 2, "expect level V");
    c.verb = Verb::ExpectLevel;
    c.number = line.real(2, 2);
  } else if (line.is(1, "unhandled")) {
    line.expectCount(2, 2, "expect unhandled");
    c.verb = Verb::ExpectUnhandled;
  } else if (line.is(1, "brightness")) {
    line.expectCount(3, 2, "expect brightness V");
    c.verb = Verb::ExpectBrightness;
    c.number = line.real(2, 2);
  } else if (line.is(1, "switch")) {
    line.expectCount(3, 2, "expect switch N");
    c.verb = Verb::ExpectSwitch;
    c.integer = line.integer(2, 2, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                             "a switch state (0 off, 1 on, -1 indeterminate)");
  } else if (line.is(1, "pref")) {
    line.expectCount(4, 2, "expect pref KEY VALUE | expect pref KEY absent");
    c.verb = Verb::ExpectPref;
    c.word = line.at(2).text;
    if (!line.is(3, "absent")) c.value = prefValue(line, 3, 2);
  } else if (line.is(1, "posts")) {
    line.expectCount(3, 2, "expect posts N");
    c.verb = Verb::ExpectPosts;
    c.integer = line.integer(2, 2, 0, std::numeric_limits<int>::max(), "a count (0 or more)");
  } else if (line.is(1, "opened")) {
    line.expectCount(3, 2, "expect opened URL | expect opened none");
    c.verb = Verb::ExpectOpened;
    if (!line.is(2, "none")) c.word = line.at(2).text;
  } else if (line.is(1, "alerts")) {
    line.expectCount(3, 2, "expect alerts N");
    c.verb = Verb::ExpectAlerts;
    c.integer = line.integer(2, 2, 0, std::numeric_limits<int>::max(), "a count (0 or more)");
  } else {
    throw Bad{"expect: unknown expectation \"" + line.at(1).text + "\" (" + kinds + ")"};
  }
}

Command parseTokens(const Line& line) {
  Command c;
  const Token& first = line.at(0);
  const std::string verb = first.quoted ? "\"" + first.text + "\"" : first.text;
  auto bare = [&](Verb v) {
    line.expectCount(1, 1, verb);
    c.verb = v;
  };
  if (verb == "brightness") {
    line.expectCount(2, 1, "brightness V, e.g. brightness 0.5");
    c.verb = Verb::Brightness;
    c.number = line.real(1, 1);
  } else if (verb == "press") {
    parsePress(line, c);
  } else if (verb == "keyboard") {
    parseKeyboard(line, c);
  } else if (verb == "launch") {
    line.expectCount(2, 1, "launch ID, e.g. launch com.apple.mobilesafari");
    c.verb = Verb::Launch;
    c.word = line.at(1).text;
    if (c.word.empty()) throw Bad{"launch: the application identifier is empty"};
  } else if (verb == "home") {
    bare(Verb::Home);
  } else if (verb == "lock") {
    bare(Verb::Lock);
  } else if (verb == "unlock") {
    bare(Verb::Unlock);
  } else if (verb == "switch") {
    parseSwitch(line, c);
  } else if (verb == "alert") {
    parseAlert(line, c);
  } else if (verb == "pref") {
    parsePref(line, c);
  } else if (verb == "put") {
    parsePut(line, c);
  } else if (verb == "post") {
    bare(Verb::Post);
  } else if (verb == "wait") {
    line.expectCount(2, 1, "wait MS");
    c.verb = Verb::Wait;
    c.integer = line.integer(1, 1, 0, kMaxMilliseconds, "a number of milliseconds (0 to 3600000)");
  } else if (verb == "await-post") {
    if (line.size() > 2) line.expectCount(2, 1, "await-post [MS]");
    c.verb = Verb::AwaitPost;
    c.integer = line.size() == 2
                    ? line.integer(1, 1, 0, kMaxMilliseconds, "a number of milliseconds (0 to 3600000)")
                    : 5000;
  } else if (verb == "status") {
    bare(Verb::Status);
  } else if (verb == "help") {
    bare(Verb::Help);
  } else if (verb == "expect") {
    parseExpect(line, c);
  } else {
    throw Bad{"unknown command " + (first.quoted ? verb : "\"" + verb + "\"") +
              " (see the list with lumivo-sim --help)"};
  }
  return c;
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
    if (!settings::unicode::isValidUtf8(token.text)) {
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
  if (!tokens) return result;
  if (tokens->empty()) return result;
  std::string written;
  for (const auto& token : *tokens) written += (written.empty() ? "" : " ") + quoted(token);
  try {
    Command command = parseTokens(Line(std::move(*tokens), baseDir));
    command.line = number;
    command.text = std::move(written);
    result.command = std::move(command);
  } catch (const Bad& bad) {
    result.error = bad.message;
  }
  return result;
}

Script parseScript(std::string_view text, const std::string& baseDir) {
  Script script;
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
