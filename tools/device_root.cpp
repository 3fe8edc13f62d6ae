#include "tools/device_root.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "sim/device.h"

namespace fs = std::filesystem;

namespace tools {
namespace {

std::string ownExecutable() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

// Creates and removes a file in `dir`: the only test of writability that
// also holds for the superuser.
bool canWriteIn(const std::string& dir, std::string* reason) {
  std::string probe = dir + "/.lumivo-write-test-XXXXXX";
  int fd = mkstemp(probe.data());
  if (fd < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  close(fd);
  unlink(probe.c_str());
  return true;
}

bool isEmptyFolder(const std::string& dir) {
  std::error_code ec;
  return fs::is_empty(dir, ec) && !ec;
}

}  // namespace

std::vector<std::string> templateCandidates(const std::string& exePath) {
  std::vector<std::string> candidates;
  if (!exePath.empty()) {
    const fs::path dir = fs::path(exePath).parent_path();
    candidates.push_back((dir.parent_path() / "share/lumivo/device-root").lexically_normal().string());
    candidates.push_back((dir.parent_path() / "device-root").lexically_normal().string());
  }
  candidates.push_back(LUMIVO_DEVICE_TEMPLATE);
  return candidates;
}

std::optional<std::string> findDeviceTemplate(std::string* error) {
  const auto candidates = templateCandidates(ownExecutable());
  std::error_code ec;
  for (const auto& dir : candidates)
    if (fs::is_directory(dir, ec)) return dir;
  if (error) {
    *error = "cannot find the deliverables (looked in";
    for (const auto& dir : candidates) *error += " " + dir;
    *error += "); build the project first";
  }
  return std::nullopt;
}

std::optional<DeviceRoot> DeviceRoot::prepare(const std::string& requested, std::string* error) {
  DeviceRoot root;
  std::error_code ec;
  bool fill = false;
  if (requested.empty()) {
    std::string pattern = (fs::temp_directory_path(ec) / "lumivo-sim-XXXXXX").string();
    if (ec || !mkdtemp(pattern.data())) {
      *error = "cannot create a temporary device root: " + std::string(std::strerror(errno));
      return std::nullopt;
    }
    root.path_ = pattern;
    root.temporary_ = true;
    fill = true;
  } else {
    root.path_ = requested;
    const auto status = fs::status(requested, ec);
    if (fs::exists(status)) {
      if (!fs::is_directory(status)) {
        *error = "--root " + requested + ": not a folder";
        return std::nullopt;
      }
      fill = isEmptyFolder(requested);
    } else {
      fs::create_directories(requested, ec);
      if (ec) {
        *error = "--root " + requested + ": cannot create the folder: " + ec.message();
        return std::nullopt;
      }
      fill = true;
    }
    std::string reason;
    if (!canWriteIn(requested, &reason)) {
      *error = "--root " + requested + ": not writable (" + reason + ")";
      return std::nullopt;
    }
  }
  if (fill) {
    auto from = findDeviceTemplate(error);
    if (!from) return std::nullopt;
    std::string reason;
    if (!sim::populateRoot(root.path_, *from, &reason)) {
      *error = "cannot fill the device root: " + reason;
      return std::nullopt;
    }
    root.populatedFrom_ = *from;
  }
  return root;
}

DeviceRoot::DeviceRoot(DeviceRoot&& other) noexcept
    : path_(std::move(other.path_)),
      temporary_(std::exchange(other.temporary_, false)),
      populatedFrom_(std::move(other.populatedFrom_)) {}

DeviceRoot::~DeviceRoot() {
  if (!temporary_) return;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

}  // namespace tools
