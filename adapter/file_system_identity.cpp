#include "adapter/file_system.h"

namespace adapter {

std::string fileSystemPath(const char* devicePath) { return devicePath; }

}  // namespace adapter
