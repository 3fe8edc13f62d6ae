// host.h's file operations: preferences files through the preferences
// daemon where the host has one, every other file directly.
#include "device/src/adapter/file_system.h"
#include "device/src/adapter/preferences_domain.h"
#include "device/src/adapter/preferences_store.h"
#include "host/host.h"
#include "settings/atomic_file.h"

namespace host {

bool readFile(const char* devicePath, std::string& bytes) {
  bytes.clear();
  if (!devicePath) return false;
  if (auto domain = adapter::preferencesDomainFor(devicePath, coreFoundationVersion()))
    return adapter::readPreferences(*domain, bytes);
  return settings::readWholeFile(adapter::fileSystemPath(devicePath), bytes);
}

bool replaceFile(const char* devicePath, std::string_view bytes) {
  if (!devicePath) return false;
  if (auto domain = adapter::preferencesDomainFor(devicePath, coreFoundationVersion()))
    return adapter::replacePreferences(*domain, bytes);
  return settings::replaceFileAtomically(adapter::fileSystemPath(devicePath), bytes);
}

}  // namespace host
