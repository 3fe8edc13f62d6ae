// Text from files shown on a terminal: escaped so that a file's bytes can
// neither drive the terminal nor hide or reorder what is shown.
#pragma once

#include <string>
#include <string_view>

namespace tools {

// `text` with every character that does not print as itself escaped: C0 and
// C1 controls and DEL (`\n`, `\t`, `\r`, else `\x1b`, `\u{9b}`), the
// invisible formatting and direction characters (`\u{202e}`) and the
// noncharacters; bytes that are not UTF-8 as `\xff`. A backslash is doubled,
// so the escapes cannot be forged.
std::string printable(std::string_view text);

}  // namespace tools
