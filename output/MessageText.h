#pragma once

// Messages for a terminal that repeat what a person typed: an argument or a file name may
// hold a line feed or an escape sequence that would break the line or reach the terminal
// as a command, so such bytes are shown as their escapes instead.
//   "1\n2"         -> "1\n2" with a backslash and an "n" in place of the line feed
//   "\x1b[31mred"  -> "\x1b[31mred" with the four characters \x1b in place of ESC
// Line feed, carriage return and tab read \n, \r and \t; every other byte below 0x20 and
// DEL read \xNN (two lower-case hex digits). So do the C1 controls U+0080..U+009F (their
// two UTF-8 bytes, "\xc2\x9b") and bytes that are not part of valid UTF-8, which some
// terminals also take as commands. Everything else, backslashes and other UTF-8 text
// included, is kept as it is.

#include <string>
#include <string_view>

namespace brellow {

std::string EscapeControlCharacters(std::string_view text);

}  // namespace brellow
