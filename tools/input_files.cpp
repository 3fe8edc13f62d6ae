#include "tools/input_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tools {
namespace {

// Opens `path` for reading without waiting on a FIFO; -1 with `why` set.
int openRegular(const std::string& path, std::size_t limit, std::string* why) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *why = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0) *why = std::strerror(errno);
  else if (S_ISDIR(st.st_mode)) *why = "it is a folder";
  else if (!S_ISREG(st.st_mode)) *why = "it is not a regular file";
  else if (static_cast<std::size_t>(st.st_size) > limit) *why = "it is larger than " + describeLimit(limit);
  else return fd;
  close(fd);
  return -1;
}

}  // namespace

std::string describeLimit(std::size_t bytes) {
  if (bytes % (std::size_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  if (bytes % (std::size_t{1} << 10) == 0) return std::to_string(bytes >> 10) + " KiB";
  return std::to_string(bytes) + " bytes";
}

std::optional<std::string> unreadableBecause(const std::string& path, std::size_t limit) {
  std::string why;
  int fd = openRegular(path, limit, &why);
  if (fd < 0) return why;
  close(fd);
  return std::nullopt;
}

std::optional<std::string> readInputFile(const std::string& path, std::size_t limit, std::string* why) {
  int fd = openRegular(path, limit, why);
  if (fd < 0) return std::nullopt;
  // Back to blocking reads: a regular file never waits, and a file on a
  // slow file system must not read as cut short.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  auto bytes = readInputStream(fd, limit, why);
  close(fd);
  return bytes;
}

std::optional<std::string> readInputStream(int fd, std::size_t limit, std::string* why) {
  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *why = std::strerror(errno);
      return std::nullopt;
    }
    if (n == 0) return bytes;
    if (bytes.size() + static_cast<std::size_t>(n) > limit) {
      *why = "it holds more than " + describeLimit(limit);
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace tools
