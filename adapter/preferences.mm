// host.h's preferences: through the preferences daemon for the preferences
// folder's files where the host has one, with Foundation on the file
// otherwise.
#import <Foundation/Foundation.h>

#include "adapter/preferences_daemon.h"
#include "adapter/preferences_domain.h"
#include "adapter/preferences_file.h"
#include "host/host.h"

namespace host {

PreferencesRead readPreferences(const char* devicePath, std::span<const std::string_view> keys) {
  if (!devicePath) return {PreferencesStatus::kAbsent, {}, std::vector<std::optional<PreferenceValue>>(keys.size())};
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  const std::string path = devicePath;
  auto domain = adapter::preferencesDomainFor(devicePath, coreFoundationVersion());
  PreferencesRead read =
      domain ? adapter::readDaemonPreferences(*domain, path, keys) : adapter::readPreferencesFile(path, keys);
  [pool drain];
  return read;
}

PreferencesWrite changePreferences(const char* devicePath, std::span<const PreferenceChange> changes) {
  if (!devicePath) return PreferencesWrite::kWriteFailed;
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  const std::string path = devicePath;
  auto domain = adapter::preferencesDomainFor(devicePath, coreFoundationVersion());
  PreferencesWrite outcome = domain ? adapter::changeDaemonPreferences(*domain, path, changes)
                                    : adapter::changePreferencesFile(path, changes);
  [pool drain];
  return outcome;
}

}  // namespace host
