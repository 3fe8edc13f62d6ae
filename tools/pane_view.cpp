#include "tools/pane_view.h"

#include <string_view>
#include <vector>

#include "host/host.h"
#include "settings/keys.h"
#include "sim/device_files.h"
#include "sim/preferences.h"
#include "tools/pref_value.h"
#include "tools/printable.h"
#include "tools/session.h"

namespace tools {
namespace {

constexpr std::size_t kLabelColumns = 30;
constexpr std::size_t kFooterColumns = 72;
// Chosen applications named before the rest are only counted.
constexpr std::size_t kNamedApplications = 10;

std::string_view textOf(plist::Node dict, std::string_view key) {
  const plist::Node node = dict.find(key);
  return node && node.type() == plist::Type::String ? node.text() : std::string_view();
}

bool isDictionary(plist::Node node) { return node && node.type() == plist::Type::Dictionary; }

// A switch's or slider's value as the cell shows it; other values with
// their type, as `pref show` prints them.
std::string shown(plist::Node value) {
  if (value.type() == plist::Type::Boolean) return value.boolean() ? "on" : "off";
  if (value.type() == plist::Type::Real) {
    PrefValue real;
    real.kind = PrefValue::Kind::Real;
    real.real = value.real();
    return describe(real);
  }
  return describePlist(value);
}

// The words of `text` in lines of at most kFooterColumns (a longer word
// keeps a line of its own), each indented by four spaces.
std::string wrapped(const std::string& text) {
  std::string out, line;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t space = text.find(' ', at);
    const std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
    at = space == std::string::npos ? text.size() : space + 1;
    if (word.empty()) continue;
    if (!line.empty() && line.size() + 1 + word.size() > kFooterColumns) {
      out += "    " + line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  if (!line.empty()) out += "    " + line + "\n";
  return out;
}

std::string chosenApplications(const plist::Document& settings) {
  const std::string_view prefix = settings::kAppDisablePrefix;
  const plist::Node root = settings.root();
  std::vector<std::string_view> chosen;
  for (std::size_t i = 0; i < root.size(); ++i) {
    const plist::Node value = root.at(i);
    const std::string_view key = root.keyAt(i);
    if (key.starts_with(prefix) && value.type() == plist::Type::Boolean && value.boolean())
      chosen.push_back(key.substr(prefix.size()));
  }
  if (chosen.empty()) return "none chosen";
  std::string out = "chosen:";
  for (std::size_t i = 0; i < chosen.size() && i < kNamedApplications; ++i)
    out += (i ? ", " : " ") + printable(chosen[i]);
  if (chosen.size() > kNamedApplications) out += " and " + std::to_string(chosen.size() - kNamedApplications) + " more";
  return out;
}

// What a cell shows at its right: a value, or where a link leads.
std::string detail(plist::Node cell, const plist::Document& settings) {
  const std::string_view type = textOf(cell, "cell");
  if (type == "PSLinkCell") {
    const std::string_view bundle = textOf(cell, "bundle");
    if (bundle == "LibActivator")
      return "> Activator (" + printable(textOf(cell, "activatorListener")) + ")";
    if (cell.find("ALSettingsKeyPrefix")) return "> " + chosenApplications(settings);
    return "> " + printable(bundle.empty() ? "page" : bundle);
  }
  const std::string_view key = textOf(cell, "key");
  if (key.empty()) return {};
  if (const plist::Node value = settings.value(key)) return shown(value);
  if (const plist::Node fallback = cell.find("default")) return shown(fallback) + " (default)";
  return "not set";
}

std::string cellLine(plist::Node cell, const plist::Document& settings) {
  std::string label = printable(textOf(cell, "label"));
  const std::string_view type = textOf(cell, "cell");
  if (label.empty() && type == "PSSliderCell") {
    const plist::Node low = cell.find("min"), high = cell.find("max");
    label = low && high ? "slider from " + shown(low) + " to " + shown(high) : "slider";
  }
  if (label.empty()) label = "(" + printable(type) + ")";
  std::string line = "  | " + label;
  const std::string right = detail(cell, settings);
  if (!right.empty()) line += std::string(label.size() < kLabelColumns ? kLabelColumns - label.size() : 1, ' ') + right;
  return line + "\n";
}

}  // namespace

std::string renderPane(plist::Node pane, const plist::Document& settings, bool iconPresent) {
  std::string out;
  const plist::Node entry = pane.find("entry");
  const std::string_view label = isDictionary(entry) ? textOf(entry, "label") : std::string_view();
  out += "  Settings > " + printable(label.empty() ? "(no entry)" : label);
  if (const std::string_view icon = isDictionary(entry) ? textOf(entry, "icon") : std::string_view(); !icon.empty())
    out += " (icon " + printable(icon) + (iconPresent ? ")" : ", missing)");
  out += "\n";
  const plist::Node items = pane.find("items");
  if (!items || items.type() != plist::Type::Array) return out + "  (no cells)\n";
  // A group's title shows in capitals, its cells marked "|" and its footer
  // below its last cell.
  std::string footer;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const plist::Node cell = items.at(i);
    if (!isDictionary(cell)) continue;
    if (textOf(cell, "cell") == "PSGroupCell") {
      out += wrapped(footer);
      footer = printable(textOf(cell, "footerText"));
      std::string title(textOf(cell, "label"));
      for (char& c : title)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      out += "\n" + (title.empty() ? std::string() : "  " + printable(title) + "\n");
      continue;
    }
    out += cellLine(cell, settings);
  }
  return out + wrapped(footer);
}

Failure showPane(Session& session) {
  std::string bytes, why;
  switch (sim::readDeviceFileChecked(kPanePath, bytes, &why)) {
    case sim::DeviceRead::kRead: break;
    case sim::DeviceRead::kAbsent: return std::string("no settings pane at ") + kPanePath;
    case sim::DeviceRead::kTooLarge:
    case sim::DeviceRead::kFailed: return std::string("cannot read ") + kPanePath + ": " + why;
  }
  plist::ReadResult result;
  const plist::Document pane = plist::Document::parse(bytes, &result);
  if (!result) return std::string("the settings pane ") + kPanePath + " is unreadable: " + result.describe();

  std::string out;
  sim::PreferencesFile settings = sim::readPreferencesFile(settings::kSettingsPath);
  if (settings.status == host::PreferencesStatus::kUnreadable || settings.status == host::PreferencesStatus::kFailed) {
    out += "  the settings file cannot be read (" + printable(settings.why) + "); the pane shows the defaults\n";
    settings.document = plist::Document();
  }
  const plist::Node entry = pane.value("entry");
  const std::string_view icon = isDictionary(entry) ? textOf(entry, "icon") : std::string_view();
  const std::string folder(std::string_view(kPanePath).substr(0, std::string_view(kPanePath).rfind('/') + 1));
  const bool iconPresent = !icon.empty() && sim::stampDeviceFile(folder + std::string(icon)).present;
  return session.print(out + renderPane(pane.root(), settings.document, iconPresent));
}

}  // namespace tools
