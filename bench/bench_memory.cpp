// Peak heap use of one whole-dictionary read, ours and libplist's, of the
// benchmark's settings files (8 to 10,000 keys, XML and binary). Counts every
// byte the process holds from malloc at once, libplist's allocations
// included. Prints a table; asserts nothing.
#include <malloc.h>
#include <plist/plist.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/settings_file.h"
#include "host/host.h"
#include "sim/plist/document.h"
#include "settings/keys.h"
#include "sim/device_files.h"
#include "sim/preferences.h"
#include "sim/device.h"
#include "sim/journal.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void __libc_free(void* pointer);
}

namespace {

std::size_t live = 0, peak = 0;

void held(void* pointer) {
  if (!pointer) return;
  live += malloc_usable_size(pointer);
  if (live > peak) peak = live;
}

void released(void* pointer) {
  if (pointer) live -= malloc_usable_size(pointer);
}

}  // namespace

// The process's allocator, counted.
extern "C" {
void* malloc(std::size_t size) {
  void* pointer = __libc_malloc(size);
  held(pointer);
  return pointer;
}
void* calloc(std::size_t count, std::size_t size) {
  void* pointer = __libc_calloc(count, size);
  held(pointer);
  return pointer;
}
void* realloc(void* old, std::size_t size) {
  released(old);
  void* pointer = __libc_realloc(old, size);
  held(pointer ? pointer : old);
  return pointer;
}
void free(void* pointer) {
  released(pointer);
  __libc_free(pointer);
}
}

namespace {

// The peak above what was held before while `read` runs.
template <class Read>
std::size_t peakOf(Read read) {
  sim::clearJournal();
  const std::size_t before = live;
  peak = live;
  read();
  return peak - before;
}

}  // namespace

int main() {
  auto root = std::filesystem::temp_directory_path() / ("lumivo-bench-memory-" + std::to_string(getpid()));
  sim::BootOptions options;
  options.root = root.string();
  options.loadModules = false;
  sim::boot(options);
  std::filesystem::create_directories(sim::hostPath("/var/mobile/Library/Preferences"));

  std::printf("Peak heap bytes of reading the settings file whole (its bytes included):\n");
  std::printf("%-13s %10s %12s %12s %8s\n", "file", "file bytes", "document", "libplist", "ratio");
  for (bool binary : {false, true}) {
    for (int keys : {8, 100, 1000, 10000}) {
      const std::string file = bench::settingsFile(binary, keys);
      sim::replaceDeviceFile(settings::kSettingsPath, file, true);
      const std::size_t ours = peakOf([] {
        const auto read = sim::readPreferencesFile(settings::kSettingsPath);
        if (!read.document.contains(settings::kEnabledKey)) std::abort();
      });
      const std::size_t theirs = peakOf([] {
        std::string bytes;
        sim::readDeviceFile(settings::kSettingsPath, bytes);
        plist_t root = nullptr;
        plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
        if (!root || !plist_dict_get_item(root, settings::kEnabledKey)) std::abort();
        plist_free(root);
      });
      char name[32];
      std::snprintf(name, sizeof name, "%s/%05d", binary ? "binary" : "xml", keys);
      std::printf("%-13s %10zu %12zu %12zu %8.2f\n", name, file.size(), ours, theirs,
                  static_cast<double>(ours) / static_cast<double>(theirs));
    }
  }
  sim::shutdown();
  std::filesystem::remove_all(root);
  return 0;
}
