// The device's file system, below a folder of the machine's own.
#include "sim/frameworks/platform.h"
#include "adapter/file_system.h"

namespace {

std::string& root() {
  static auto* folder = new std::string;
  return *folder;
}

}  // namespace

namespace adapter {

std::string fileSystemPath(const char* devicePath) { return root() + devicePath; }

}  // namespace adapter

namespace standin {

void setFileSystemRoot(const std::string& folder) { root() = folder; }

}  // namespace standin
