// The hooking loader: at process start, loads each library of
// Library/MobileSubstrate/DynamicLibraries whose filter list names this
// process's bundle. Loading runs the library's initialiser.
#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "sim/boot_steps.h"
#include "sim/journal.h"
#include "sim/plist_read.h"

namespace fs = std::filesystem;

namespace sim {
namespace {

std::vector<void*>& loaded() {
  static auto* handles = new std::vector<void*>;
  return *handles;
}

// A library without a filter list is loaded everywhere; one with a list only
// into the bundles it names.
bool filterAdmits(const fs::path& library, const std::string& bundle) {
  fs::path filter = library;
  filter.replace_extension(".plist");
  std::error_code ec;
  if (!fs::exists(filter, ec)) return true;
  auto bundles = plistStringArray(filter.string(), "Filter", "Bundles");
  return bundles && std::find(bundles->begin(), bundles->end(), bundle) != bundles->end();
}

}  // namespace

void loaderRun(const BootOptions& options) {
  const std::string bundle = bundleIdentifierFor(options.process);
  std::vector<fs::path> libraries;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(hostPath("/Library/MobileSubstrate/DynamicLibraries"), ec))
    if (entry.path().extension() == ".dylib") libraries.push_back(entry.path());
  std::sort(libraries.begin(), libraries.end());
  for (const auto& library : libraries) {
    if (!filterAdmits(library, bundle)) continue;
    journal("loaderLoad", library.filename().string());
    if (void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL))
      loaded().push_back(handle);
    else
      journal("loaderFailed", dlerror());
  }
}

void loaderUnload() {
  auto& handles = loaded();
  for (auto it = handles.rbegin(); it != handles.rend(); ++it) dlclose(*it);
  handles.clear();
}

}  // namespace sim
