// The texts of --help and of the shell's `help`.
#pragma once

#include <string>

namespace tools {

// Usage, options, exit statuses and where the deliverables come from.
std::string usageText();
// Every script command and expectation, one per line.
std::string commandReference();

}  // namespace tools
