// A preferences domain read and changed through the preferences daemon
// (cfprefsd, from host::kPreferencesDaemonVersion), which caches each domain
// and writes its file when it likes: a file read or replaced behind its back
// can be older than what it holds, or be overwritten by its cache.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "host/host.h"

namespace adapter {

// host::readPreferences of `domain`: its current values, other processes'
// changes included. The status is kRead when the daemon holds a value asked
// for, else what the file at device path `path` shows; a file
// larger than host::kMaxPreferencesFileBytes reads as kUnreadable, with no
// values, whatever the daemon holds.
host::PreferencesRead readDaemonPreferences(const std::string& domain, const std::string& path,
                                            std::span<const std::string_view> keys);
// host::changePreferences of `domain`: the keys set and removed in one step,
// handed to the daemon before returning. The file at `path` is kept aside
// first when the platform cannot read it (the domain then keeps nothing the
// daemon read from a file beyond the bound), and left alone (kReadFailed)
// when it cannot be read at all.
host::PreferencesWrite changeDaemonPreferences(const std::string& domain, const std::string& path,
                                               std::span<const host::PreferenceChange> changes);

}  // namespace adapter
