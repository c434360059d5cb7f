#include "highlight/Tokenizer.h"

#include <gtest/gtest.h>

#include <string>

using namespace torvane;

namespace {

struct Case {
    int routine;
    std::string text;
    int startAt;     // where the cursor stands
    int consumed;    // -1: the routine fails
    int already = 0; // characters of the token consumed before the call
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << "routine " << c.routine << " on \"" << c.text << "\" at " << c.startAt;
}

class Routines : public testing::TestWithParam<Case> {};

} // namespace

TEST_P(Routines, ConsumeWhatTheyAccept) {
    const Case& c = GetParam();
    TStringCursor cursor(c.text, c.startAt);
    int32_t length = c.already;
    const bool ok = TTokenizer::RunRoutine(c.routine, cursor, length);
    if (c.consumed < 0) {
        EXPECT_FALSE(ok);
        EXPECT_EQ(cursor.GetPosition(), c.startAt);
        EXPECT_EQ(length, c.already);
    } else {
        EXPECT_TRUE(ok);
        EXPECT_EQ(cursor.GetPosition(), c.startAt + c.consumed);
        EXPECT_EQ(length, c.already + c.consumed);
    }
}

INSTANTIATE_TEST_SUITE_P(BuiltIn, Routines,
                         testing::Values(
                             // 0: one character of a '...' text
                             Case{0, "a", 0, 1}, Case{0, "''x", 0, 2}, Case{0, "'x", 0, -1},
                             Case{0, "\r", 0, -1}, Case{0, "", 0, -1},
                             // 1: URL characters, a last "." given back
                             Case{1, "www.x.cz/a?b=1. ", 0, 14}, Case{1, "a.", 0, 1}, Case{1, ".", 0, -1},
                             Case{1, " ", 0, -1},
                             // 2: rest of the line, only for a token at a line start
                             Case{2, ";abc\rx", 1, 3, 1}, Case{2, "x\r;ab", 3, 2, 1},
                             Case{2, "x;ab", 2, -1, 1}, Case{2, "x\r\r", 2, 0},
                             // 3: identifier
                             Case{3, "_a1 ", 0, 3}, Case{3, "1a", 0, -1},
                             // 4: number or float
                             Case{4, "12.5e-3x", 0, 7}, Case{4, "1.x", 0, 1}, Case{4, "1e", 0, 1},
                             Case{4, "7E+", 0, 1}, Case{4, ".5", 0, -1},
                             // 5: Pascal string
                             Case{5, "'it''s' x", 0, 7}, Case{5, "'open\rx", 0, 5}, Case{5, "x", 0, -1},
                             // 6, 7, 13: C strings and characters with backslash escapes
                             Case{6, "\"a\\\"b\" ", 0, 6}, Case{6, "\"ab\rc", 0, 3}, Case{7, "'\\''x", 0, 4},
                             Case{13, "'a'", 0, 3}, Case{7, "\"", 0, -1},
                             // 8: signed number
                             Case{8, "-1.5 ", 0, 4}, Case{8, "+x", 0, -1}, Case{8, "3", 0, 1},
                             // 9: digits
                             Case{9, "123a", 0, 3}, Case{9, "a", 0, -1},
                             // 10: mail address, needs an "@"
                             Case{10, "jan.novak@firma.cz. ", 0, 18}, Case{10, "jan.novak ", 0, -1},
                             // 11: HTML string, a line break ends it and belongs to it
                             Case{11, "\"a\\\"b", 0, 4}, Case{11, "\"ab\rc", 0, 4},
                             // 12: line comment that leaves "-->" to a terminator
                             Case{12, "// x\ry", 0, 4}, Case{12, "// a --->", 0, 6},
                             Case{12, "/ a-b--c", 0, 8},
                             // unknown numbers fail
                             Case{14, "a", 0, -1}, Case{-1, "a", 0, -1}));
