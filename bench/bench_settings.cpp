// The settings reads and writes the deliverables make, for 8 to 10,000
// per-application keys in the XML and binary encodings, side by side with the
// cost of reading the file's bytes, libplist's reader and GNUstep
// Foundation's. Prints Google Benchmark's table, then every figure as a
// ratio to reading the bytes of the same file in the same run.
#include <benchmark/benchmark.h>
#include <plist/plist.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/settings_file.h"
#include "host/host.h"
#include "sim/plist/document.h"
#include "settings/keys.h"
#include "settings/store.h"
#include "sim/device.h"
#include "sim/device_files.h"
#include "sim/preferences.h"
#include "sim/journal.h"
#include "sim/springboard.h"
#ifdef LUMIVO_BENCH_EXTENSION
#include "extension/brightness_listener.h"
#include "extension/extension_state.h"
#include "extension/front_application.h"
#endif
#ifdef LUMIVO_BENCH_GNUSTEP
#include "bench/gnustep_reader.h"
#endif

namespace {

const char kFrontApp[] = "com.example.app7";

// The keys a reload looks up: five settings and the front application's.
const std::vector<std::string> kReloadKeys = {settings::kEnabledKey,     settings::kDisableSpringBoardKey,
                                              settings::kDisableKeyboardKey, settings::kForceModeKey,
                                              settings::kIncrementKey,   std::string(settings::kAppDisablePrefix) + kFrontApp};

// Writes the settings file: the five settings and `keys` per-application
// keys, in XML or libplist's binary encoding.
void writeSettings(bool binary, int keys) {
  sim::replaceDeviceFile(settings::kSettingsPath, bench::settingsFile(binary, keys), true);
}

// The simulated device records every host call; long runs start afresh.
void trimJournal(benchmark::State& state, std::int64_t iteration) {
  if (iteration % 4096 == 0) {
    state.PauseTiming();
    sim::clearJournal();
    state.ResumeTiming();
  }
}

using Body = void (*)(benchmark::State&);

struct Case {
  const char* name;
  Body body;
};

void readBytes(benchmark::State& state) {
  std::string bytes;
  std::int64_t i = 0;
  for (auto _ : state) {
    sim::readDeviceFile(settings::kSettingsPath, bytes);
    benchmark::DoNotOptimize(bytes.data());
    trimJournal(state, ++i);
  }
}

void lookup(benchmark::State& state) {
  std::int64_t i = 0;
  for (auto _ : state) {
    const settings::Values file(settings::kSettingsPath, {kReloadKeys[0], kReloadKeys[1], kReloadKeys[2],
                                                          kReloadKeys[3], kReloadKeys[4], kReloadKeys[5]});
    for (const auto& key : kReloadKeys) benchmark::DoNotOptimize(file.boolean(key));
    trimJournal(state, ++i);
  }
}

void frontDisplayRead(benchmark::State& state) {
  const std::string key = std::string(settings::kAppDisablePrefix) + kFrontApp;
  std::int64_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(settings::Values(settings::kSettingsPath, {key}).boolean(key));
    trimJournal(state, ++i);
  }
}

void documentRead(benchmark::State& state) {
  std::int64_t i = 0;
  for (auto _ : state) {
    const auto file = sim::readPreferencesFile(settings::kSettingsPath);
    for (const auto& key : kReloadKeys) benchmark::DoNotOptimize(file.document.value(key));
    trimJournal(state, ++i);
  }
}

void readModifyWritePost(benchmark::State& state) {
  std::int64_t i = 0;
  for (auto _ : state) {
    const host::PreferenceValue enabled = settings::booleanValue(i % 2 == 0);
    settings::changeSettingsAndPost({{settings::kEnabledKey, &enabled}});
    trimJournal(state, ++i);
  }
}

// What the read-modify-write spends on its lock: taking and releasing the
// writers' lock, uncontended.
void writersLock(benchmark::State& state) {
  std::int64_t i = 0;
  for (auto _ : state) {
    sim::withPreferencesLock(settings::kSettingsPath, [] { return true; });
    trimJournal(state, ++i);
  }
}

void libplistRead(benchmark::State& state) {
  std::string bytes;
  std::int64_t i = 0;
  for (auto _ : state) {
    sim::readDeviceFile(settings::kSettingsPath, bytes);
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    for (const auto& key : kReloadKeys) benchmark::DoNotOptimize(plist_dict_get_item(root, key.c_str()));
    plist_free(root);
    trimJournal(state, ++i);
  }
}

#ifdef LUMIVO_BENCH_GNUSTEP
void gnustepRead(benchmark::State& state) {
  const std::string path = sim::hostPath(settings::kSettingsPath);
  std::vector<const char*> keys;
  for (const auto& key : kReloadKeys) keys.push_back(key.c_str());
  for (auto _ : state)
    benchmark::DoNotOptimize(gnustepLookup(path.c_str(), keys.data(), static_cast<int>(keys.size())));
}
#endif

#ifdef LUMIVO_BENCH_EXTENSION
void wholeReload(benchmark::State& state) {
  extensionState().frontAppIdentifier = kFrontApp;
  std::int64_t i = 0;
  for (auto _ : state) {
    reloadSettings();
    trimJournal(state, ++i);
  }
}

void frontDisplayChange(benchmark::State& state) {
  sim::launchApplication(kFrontApp);
  std::int64_t i = 0;
  for (auto _ : state) {
    updateFrontApplication();
    trimJournal(state, ++i);
  }
}

void brightnessEvent(benchmark::State& state) {
  static BrightnessListener up(0);
  reloadSettings();
  std::int64_t i = 0;
  for (auto _ : state) {
    up.activatorReceiveEvent(nullptr, nullptr);
    trimJournal(state, ++i);
  }
}
#endif

const Case kCases[] = {
    {"read_bytes", readBytes},
    {"lookup", lookup},
    {"front_display_read", frontDisplayRead},
#ifdef LUMIVO_BENCH_EXTENSION
    {"ext_reload", wholeReload},
    {"ext_front_display_change", frontDisplayChange},
    {"ext_brightness_event", brightnessEvent},
#endif
    {"document_read", documentRead},
    {"read_modify_write_post", readModifyWritePost},
    {"writers_lock", writersLock},
    {"libplist_read", libplistRead},
#ifdef LUMIVO_BENCH_GNUSTEP
    {"gnustep_read", gnustepRead},
#endif
};

// Collects every run's time, then prints them as ratios to read_bytes.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      std::string name = run.benchmark_name();
      auto slash = name.find('/');
      real_[name.substr(slash + 1)][name.substr(0, slash)] = run.GetAdjustedRealTime();
      cpu_[name.substr(slash + 1)][name.substr(0, slash)] = run.GetAdjustedCPUTime();
      if (order_.empty() || order_.back() != name.substr(0, slash)) remember(name.substr(0, slash));
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    table("real time", real_);
    table("CPU time (steadier on a shared machine)", cpu_);
  }

 private:
  void remember(const std::string& column) {
    for (const auto& c : order_)
      if (c == column) return;
    order_.push_back(column);
  }
  using Times = std::map<std::string, std::map<std::string, double>>;  // file -> benchmark -> time

  void table(const char* what, const Times& times) const {
    std::printf("\nEach figure as a multiple of read_bytes for the same file in this run, %s:\n%-13s", what, "file");
    for (const auto& column : order_) std::printf(" %*s", static_cast<int>(column.size()), column.c_str());
    std::printf("\n");
    for (const auto& [file, row] : times) {
      auto base = row.find("read_bytes");
      if (base == row.end()) continue;
      std::printf("%-13s", file.c_str());
      for (const auto& column : order_) {
        auto it = row.find(column);
        if (it == row.end()) std::printf(" %*s", static_cast<int>(column.size()), "-");
        else std::printf(" %*.*f", static_cast<int>(column.size()), it->second < base->second ? 2 : 1,
                         it->second / base->second);
      }
      std::printf("\n");
    }
  }

  Times real_, cpu_;
  std::vector<std::string> order_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  auto root = std::filesystem::temp_directory_path() / ("lumivo-bench-" + std::to_string(getpid()));
  sim::BootOptions options;
  options.root = root.string();
  options.loadModules = false;
  sim::boot(options);
  std::filesystem::create_directories(sim::hostPath("/var/mobile/Library/Preferences"));

  for (bool binary : {false, true}) {
    for (int keys : {8, 100, 1000, 10000}) {
      const std::string file = std::string(binary ? "binary" : "xml") + "/" + (keys < 10 ? "0" : "") +
                               (keys < 100 ? "0" : "") + (keys < 1000 ? "0" : "") + (keys < 10000 ? "0" : "") +
                               std::to_string(keys);
      for (const Case& c : kCases) {
        benchmark::RegisterBenchmark((std::string(c.name) + "/" + file).c_str(),
                                     [binary, keys, body = c.body](benchmark::State& state) {
                                       writeSettings(binary, keys);
                                       body(state);
                                     })
            ->Unit(benchmark::kMicrosecond);
      }
    }
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  sim::shutdown();
  std::filesystem::remove_all(root);
  return 0;
}
