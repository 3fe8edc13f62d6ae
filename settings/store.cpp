#include "settings/store.h"

#include <span>

#include "settings/keys.h"

namespace settings {

Values::Values(const char* devicePath, std::initializer_list<std::string_view> keys) : keys_(keys.begin(), keys.end()) {
  const host::PreferencesRead read = host::readPreferences(devicePath, std::span(keys.begin(), keys.size()));
  readings_.resize(keys_.size());
  for (std::size_t i = 0; i < read.values.size() && i < readings_.size(); ++i)
    if (read.values[i]) readings_[i] = readingsOf(*read.values[i]);
}

const Readings* Values::find(std::string_view key) const {
  for (std::size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i] == key) return &readings_[i];
  return nullptr;
}

std::optional<bool> Values::boolean(std::string_view key) const {
  const Readings* readings = find(key);
  return readings ? readings->boolean : std::nullopt;
}

std::optional<float> Values::single(std::string_view key) const {
  const Readings* readings = find(key);
  return readings ? readings->single : std::nullopt;
}

host::PreferenceValue booleanValue(bool value) {
  return host::PreferenceValue{host::PreferenceValue::Type::kBoolean, value ? 1.0 : 0.0, {}};
}

host::PreferencesWrite changeSettingsAndPost(std::initializer_list<host::PreferenceChange> changes) {
  const host::PreferencesWrite outcome = host::changePreferences(kSettingsPath, std::span(changes.begin(), changes.size()));
  host::notifyPost(kChangedNotification);
  return outcome;
}

}  // namespace settings
