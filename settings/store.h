// Reading the settings, and the writers' one change-and-post sequence.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"
#include "settings/readings.h"

namespace settings {

// The readings of a few keys of a preferences file, read together. An
// absent, unreadable or non-dictionary file reads as one without keys.
class Values {
 public:
  // Reads `keys` of the preferences file at a device path, afresh.
  Values(const char* devicePath, std::initializer_list<std::string_view> keys);

  // The boolean reading of `key`, none when it is absent, was not asked
  // for, or does not read as a boolean.
  std::optional<bool> boolean(std::string_view key) const;
  // The single-precision reading of `key`, none when it is absent, was not
  // asked for, or does not read as a number.
  std::optional<float> single(std::string_view key) const;

 private:
  const Readings* find(std::string_view key) const;
  std::vector<std::string> keys_;
  std::vector<Readings> readings_;
};

// A property-list boolean to store.
host::PreferenceValue booleanValue(bool value);

// The writers' sequence: applies `changes` to the settings file as one step
// (host::changePreferences: every other key is kept), then posts the change
// notification whether or not the change took effect, so that readers simply
// read again.
host::PreferencesWrite changeSettingsAndPost(std::initializer_list<host::PreferenceChange> changes);

}  // namespace settings
