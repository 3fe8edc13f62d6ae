// Text from a file shown on a terminal cannot drive it.
#include "tools/printable.h"

#include <gtest/gtest.h>

namespace {

using tools::printable;

TEST(Printable, EscapesWhatATerminalWouldActOnOrHide) {
  EXPECT_EQ(printable("caf\xc3\xa9 \xe2\x98\x83 plain"), "caf\xc3\xa9 \xe2\x98\x83 plain");
  EXPECT_EQ(printable("\x1b]0;title\x07\x1b[2J"), "\\x1b]0;title\\x07\\x1b[2J");
  EXPECT_EQ(printable(std::string("a\0b\n\t\r\x7f", 7)), "a\\x00b\\n\\t\\r\\x7f");
  EXPECT_EQ(printable("\xc2\x9b" "31m"), "\\u{9b}31m") << "C1 control sequence introducer";
  EXPECT_EQ(printable("\xe2\x80\xae" "txt.exe"), "\\u{202e}txt.exe") << "right-to-left override";
  EXPECT_EQ(printable("\xef\xbf\xbe\xe2\x80\x8b"), "\\u{fffe}\\u{200b}");
  EXPECT_EQ(printable("\x9b\xff\xc0\x80\xed\xa0\x80"), "\\x9b\\xff\\xc0\\x80\\xed\\xa0\\x80") << "not UTF-8";
  EXPECT_EQ(printable("\\x1b"), "\\\\x1b") << "an escape cannot be forged";
}

}  // namespace
