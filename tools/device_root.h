// The device root a run uses: the one named with --root, created and filled
// with the deliverables when it does not exist yet, or a fresh temporary one
// removed at the end. A named folder that holds other files is never filled:
// the device's folders would land among them (at `/`, in the machine's own
// /Library and /var).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tools {

// Where the deliverables that belong with the program at `exePath` may be,
// in order: beside an installed program (PREFIX/share/lumivo/device-root),
// beside a program in the build tree (BUILD/device-root), and the build
// tree the program was compiled in.
std::vector<std::string> templateCandidates(const std::string& exePath);
// The first candidate for this program that is a folder; none, with the
// folders looked in listed in `error`, when there is none.
std::optional<std::string> findDeviceTemplate(std::string* error);

class DeviceRoot {
 public:
  // Makes `requested` ready, or a new temporary root when it is empty. A
  // root that does not exist, or is an empty folder, is created and filled
  // from `findDeviceTemplate`; one that already is a device root (a run has
  // used it, or it has the device's folders) is used as it is. None, with a
  // message, when the root is the machine's own root folder, on a file
  // system the kernel makes up (/proc), not a folder, a folder of other
  // files, cannot be created or written, or the deliverables are missing.
  static std::optional<DeviceRoot> prepare(const std::string& requested, std::string* error);

  DeviceRoot(DeviceRoot&& other) noexcept;
  DeviceRoot& operator=(DeviceRoot&&) = delete;
  DeviceRoot(const DeviceRoot&) = delete;
  ~DeviceRoot();

  const std::string& path() const { return path_; }
  bool temporary() const { return temporary_; }
  // The folder the deliverables were copied from, empty when the root
  // already existed.
  const std::string& populatedFrom() const { return populatedFrom_; }

 private:
  DeviceRoot() = default;
  std::string path_;
  bool temporary_ = false;
  std::string populatedFrom_;
};

}  // namespace tools
