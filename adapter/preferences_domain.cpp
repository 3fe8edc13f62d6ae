#include "adapter/preferences_domain.h"

namespace adapter {
namespace {

constexpr std::string_view kFolder = "/var/mobile/Library/Preferences/";
constexpr std::string_view kSuffix = ".plist";

}  // namespace

std::optional<std::string> preferencesDomainFor(std::string_view devicePath, double coreFoundationVersion) {
  if (coreFoundationVersion < host::kPreferencesDaemonVersion) return std::nullopt;
  if (devicePath.size() <= kFolder.size() + kSuffix.size()) return std::nullopt;
  if (!devicePath.starts_with(kFolder) || !devicePath.ends_with(kSuffix)) return std::nullopt;
  std::string_view domain = devicePath.substr(kFolder.size(), devicePath.size() - kFolder.size() - kSuffix.size());
  if (domain.find('/') != std::string_view::npos) return std::nullopt;
  return std::string(domain);
}

}  // namespace adapter
