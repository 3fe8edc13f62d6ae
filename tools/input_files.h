// Bounded reads of what the user hands the simulator: scripts, standard
// input and the files that script commands name. Nothing is read without a
// limit, and only regular files are read by name (a FIFO or device named in
// a script would otherwise hang or never end).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "sim/plist/limits.h"

namespace tools {

// A script, and a file a command copies, may be as large as a settings file.
inline constexpr std::size_t kMaxInputBytes = plist::kMaxFileBytes;
// One line of a script or the shell.
inline constexpr std::size_t kMaxLineBytes = std::size_t{64} << 10;

// "16 MiB", "64 KiB": a limit as the messages give it.
std::string describeLimit(std::size_t bytes);

// Why the file at `path` cannot be read whole within `limit`, as a phrase
// ("it is a folder", "it is not a regular file", "it is larger than 16 MiB",
// or the system's reason); none when it can. Follows symbolic links.
std::optional<std::string> unreadableBecause(const std::string& path, std::size_t limit);

// Reads the regular file at `path`, at most `limit` bytes. None, with the
// reason in `why`, when it cannot.
std::optional<std::string> readInputFile(const std::string& path, std::size_t limit, std::string* why);

// Reads the descriptor `fd` (standard input, say) to its end, at most
// `limit` bytes. None, with the reason in `why`, when it holds more or
// cannot be read.
std::optional<std::string> readInputStream(int fd, std::size_t limit, std::string* why);

}  // namespace tools
