#include "settings/checked_read.h"

#include <sys/stat.h>

#include <cerrno>

#include "settings/atomic_file.h"
#include "settings/limits.h"

namespace settings {

host::FileRead readFileChecked(const std::string& path, std::string& bytes) {
  if (readWholeFile(path, bytes, kMaxFileBytes)) return host::FileRead::kRead;
  // The read says only that it failed; what is at the path now says why.
  struct stat st {};
  if (stat(path.c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? host::FileRead::kAbsent : host::FileRead::kFailed;
  if (S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > kMaxFileBytes)
    return host::FileRead::kTooLarge;
  return host::FileRead::kFailed;
}

}  // namespace settings
