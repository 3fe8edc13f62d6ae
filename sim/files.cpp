// Device paths mapped onto the device root, with injected read and write
// faults.
#include <cstdio>
#include <set>

#include "host/host.h"
#include "settings/atomic_file.h"
#include "settings/checked_read.h"
#include "settings/writer_lock.h"
#include "sim/device.h"
#include "sim/journal.h"

namespace sim {
namespace {

std::multiset<std::string>& readFaults() {
  static auto* faults = new std::multiset<std::string>;
  return *faults;
}

std::multiset<std::string>& writeFaults() {
  static auto* faults = new std::multiset<std::string>;
  return *faults;
}

// Consumes one pending fault for `path`; true when there was one.
bool takeFault(std::multiset<std::string>& faults, const std::string& path) {
  auto it = faults.find(path);
  if (it == faults.end()) return false;
  faults.erase(it);
  return true;
}

}  // namespace

std::string hostPath(const std::string& devicePath) {
  std::string root = booted() ? bootOptions().root : std::string();
  if (!root.empty() && root.back() == '/') root.pop_back();
  if (devicePath.empty() || devicePath.front() != '/') return root + "/" + devicePath;
  return root + devicePath;
}

void failNextRead(const std::string& devicePath) { readFaults().insert(devicePath); }
void failNextWrite(const std::string& devicePath) { writeFaults().insert(devicePath); }

void clearFileFaults() {
  readFaults().clear();
  writeFaults().clear();
}

}  // namespace sim

namespace host {

bool readFile(const char* devicePath, std::string& bytes) {
  bytes.clear();
  if (!devicePath) return false;
  sim::journal("readFile", devicePath);
  // A path that climbs out of the device root is not on the device.
  if (std::string_view(devicePath).find("/../") != std::string_view::npos) return false;
  if (sim::takeFault(sim::readFaults(), devicePath)) return false;
  return settings::readWholeFile(sim::hostPath(devicePath), bytes);
}

bool replaceFile(const char* devicePath, std::string_view bytes) {
  if (!devicePath) return false;
  sim::journal("replaceFile", devicePath);
  if (std::string_view(devicePath).find("/../") != std::string_view::npos) return false;
  if (sim::takeFault(sim::writeFaults(), devicePath)) return false;
  return settings::replaceFileAtomically(sim::hostPath(devicePath), bytes);
}

FileRead readFileChecked(const char* devicePath, std::string& bytes) {
  bytes.clear();
  if (!devicePath) return FileRead::kAbsent;
  sim::journal("readFile", devicePath);
  if (std::string_view(devicePath).find("/../") != std::string_view::npos) return FileRead::kAbsent;
  if (sim::takeFault(sim::readFaults(), devicePath)) return FileRead::kFailed;
  return settings::readFileChecked(sim::hostPath(devicePath), bytes);
}

bool moveFile(const char* from, const char* to) {
  if (!from || !to) return false;
  sim::journal("moveFile", std::string(from) + " " + to);
  if (std::string_view(from).find("/../") != std::string_view::npos ||
      std::string_view(to).find("/../") != std::string_view::npos)
    return false;
  return std::rename(sim::hostPath(from).c_str(), sim::hostPath(to).c_str()) == 0;
}

struct WriterLock {
  int fd;
};

WriterLock* lockForWriting(const char* devicePath) {
  if (!devicePath) return nullptr;
  sim::journal("lockForWriting", devicePath);
  if (std::string_view(devicePath).find("/../") != std::string_view::npos) return nullptr;
  const int fd = settings::lockWriters(sim::hostPath(devicePath));
  return fd < 0 ? nullptr : new WriterLock{fd};
}

void unlockWriting(WriterLock* lock) {
  if (!lock) return;
  sim::journal("unlockWriting", "");
  settings::unlockWriters(lock->fd);
  delete lock;
}

}  // namespace host
