#include "tools/device_root.h"

#include <linux/magic.h>
#include <stdlib.h>
#include <sys/vfs.h>
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

// True when `dir` is a folder of `root`, not a link to one.
bool hasFolder(const std::string& root, const char* dir) {
  std::error_code ec;
  return fs::is_directory(fs::symlink_status(root + "/" + dir, ec));
}

// True when `dir` already is a device root: a run has used it (it made the
// notification folder), or it has the device's own layout, as an installed
// copy of the deliverables or a hand-made settings folder does.
bool isDeviceRoot(const std::string& dir) {
  return hasFolder(dir, ".sim") || hasFolder(dir, "var/mobile/Library/Preferences") ||
         hasFolder(dir, "Library/MobileSubstrate/DynamicLibraries");
}

// True when `dir` names this machine's own root folder, however spelled.
bool isMachineRoot(const std::string& dir) {
  std::error_code ec;
  fs::path path = fs::weakly_canonical(fs::absolute(dir, ec), ec);
  if (ec) path = fs::absolute(dir, ec).lexically_normal();
  return path == "/";
}

// The name of the kernel-made file system (proc, sysfs, ...) that `dir`, or
// the nearest folder above it that exists, lies on; none for a file system
// that holds files.
std::optional<std::string> kernelFileSystem(const std::string& dir) {
  static constexpr std::pair<decltype(statfs::f_type), const char*> kKernelMade[] = {
      {PROC_SUPER_MAGIC, "proc"},       {SYSFS_MAGIC, "sysfs"},           {DEVPTS_SUPER_MAGIC, "devpts"},
      {CGROUP_SUPER_MAGIC, "cgroup"},   {CGROUP2_SUPER_MAGIC, "cgroup2"}, {DEBUGFS_MAGIC, "debugfs"},
      {TRACEFS_MAGIC, "tracefs"},       {SECURITYFS_MAGIC, "securityfs"}, {BPF_FS_MAGIC, "bpf"},
      {EFIVARFS_MAGIC, "efivarfs"},     {PSTOREFS_MAGIC, "pstore"},       {BINFMTFS_MAGIC, "binfmt_misc"},
      {SELINUX_MAGIC, "selinuxfs"}};
  std::error_code ec;
  fs::path path = fs::absolute(dir, ec).lexically_normal();
  struct statfs info {};
  while (statfs(path.c_str(), &info) != 0) {
    if (errno != ENOENT || !path.has_relative_path()) return std::nullopt;
    path = path.parent_path();
  }
  for (const auto& [type, name] : kKernelMade)
    if (info.f_type == type) return name;
  return std::nullopt;
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
    const auto refuse = [&](const std::string& why) {
      *error = "--root " + requested + ": " + why;
      return std::nullopt;
    };
    if (isMachineRoot(requested)) return refuse("the machine's own root folder cannot be a device root");
    if (auto kind = kernelFileSystem(requested))
      return refuse("it is on " + *kind + ", a file system the kernel makes up, which cannot hold files");
    const auto status = fs::status(requested, ec);
    if (fs::exists(status)) {
      if (!fs::is_directory(status)) return refuse("not a folder");
      fill = isEmptyFolder(requested);
      // Filling a folder of other files would scatter the device's folders
      // among them.
      if (!fill && !isDeviceRoot(requested))
        return refuse("the folder holds other files and no device root (no .sim or var/mobile/Library/"
                      "Preferences in it); give a new or empty folder");
    } else {
      fs::create_directories(requested, ec);
      if (ec) return refuse("cannot create the folder: " + ec.message());
      fill = true;
    }
    std::string reason;
    if (!canWriteIn(requested, &reason)) return refuse("not writable (" + reason + ")");
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
