// Which files the preferences daemon owns. From iOS 8
// (host::kPreferencesDaemonVersion) cfprefsd caches each preferences domain
// and writes its file when it likes, so the file can be older than what the
// Settings application has set, and a file written behind the daemon's back
// can be overwritten by its cache. Those files are read and replaced through
// the daemon instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/releases.h"

namespace adapter {

// The domain of a preferences file, "/var/mobile/Library/Preferences/
// <domain>.plist", when the host at `coreFoundationVersion` keeps it behind
// the daemon; none for every other path and on older hosts.
std::optional<std::string> preferencesDomainFor(std::string_view devicePath, double coreFoundationVersion);

}  // namespace adapter
