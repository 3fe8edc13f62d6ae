// Where a device path lives on the file system the adapter runs on.
#pragma once

#include <string>

namespace adapter {

// The path itself on a device.
std::string fileSystemPath(const char* devicePath);

}  // namespace adapter
