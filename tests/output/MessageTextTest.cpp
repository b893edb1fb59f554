#include "output/MessageText.h"

#include <gtest/gtest.h>

#include <string>

namespace brellow {
namespace {

TEST(EscapeControlCharacters, ControlsBecomeEscapesAndTextStays) {
    const struct {
        std::string typed;
        std::string shown;
    } cases[] = {
        {"loan.brw", "loan.brw"},
        {"a\nb\rc\td", "a\\nb\\rc\\td"},
        {"\x1b[31mred\x1b[0m", "\\x1b[31mred\\x1b[0m"},
        {std::string("\0\x01\x1f\x7f", 4), "\\x00\\x01\\x1f\\x7f"},
        // UTF-8 stays, backslashes too; the C1 CSI and stray bytes do not.
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 C:\\n",
         "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 C:\\n"},
        {"\u009b2J \u00a0", "\\xc2\\x9b2J \u00a0"},
        {"\x9b\xe9t\xc3", "\\x9b\\xe9t\\xc3"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, EscapeControlCharacters(c.typed)) << c.shown;
}

}  // namespace
}  // namespace brellow
