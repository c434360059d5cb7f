// Line-level reading of AVR sources: C-style comments, include and device
// lines, and the parts avra lacks.

#include "SourceLine.h"

#include <gtest/gtest.h>

#include <vector>

using namespace torvane::avrasm;

namespace {

struct StripCase {
    std::vector<std::string> in, out;
};

TEST(CommentStripper, KeepsQuotedTextAndAssemblerCommentsAndTheLineCount) {
    const StripCase cases[] = {
        {{"  ldi r16, 1 // load"}, {"  ldi r16, 1 "}},
        {{"nop /* in */ nop"}, {"nop   nop"}},
        {{"a/**/b"}, {"a b"}},
        {{".db \"http://x/*y\", '/'"}, {".db \"http://x/*y\", '/'"}},
        {{".db \"a\\\"//b\" // c"}, {".db \"a\\\"//b\" "}},
        {{"nop ; see /* here", "nop"}, {"nop ; see /* here", "nop"}},
        {{"nop /* one", "  two ; \"still\" '", "*/ nop"}, {"nop  ", "", " nop"}},
        {{"/* a */ nop /* b", "*/ ; c"}, {"  nop  ", " ; c"}},
        {{"ldi r16, 8/2"}, {"ldi r16, 8/2"}},
        {{"/* open to the end", ".include \"x.inc\""}, {" ", ""}},
    };
    for (const StripCase& c : cases) {
        CommentStripper stripper;
        std::vector<std::string> out;
        for (const std::string& line : c.in)
            out.push_back(stripper.Strip(line));
        EXPECT_EQ(out, c.out) << c.in[0];
    }
}

TEST(SourceLine, IncludeNamesInEveryWrittenForm) {
    const std::pair<std::string, std::string> cases[] = {
        {".include \"m8def.inc\"", "m8def.inc"},
        {"\t.INCLUDE <m8def.inc> ; part", "m8def.inc"},
        {"#include \"lib\\uart.inc\"", "lib\\uart.inc"},
        {".include \"C:\\Program Files\\Atmel\\M8DEF.INC\"", "C:\\Program Files\\Atmel\\M8DEF.INC"},
        {".include m8def.inc ; bare", "m8def.inc"},
    };
    for (const auto& [line, name] : cases)
        EXPECT_EQ(IncludedName(line), name) << line;
    for (const char* line : {".includex \"a\"", "; .include \"a\"", "nop", ".include \"open", ".include"})
        EXPECT_EQ(IncludedName(line), std::nullopt) << line;
}

TEST(SourceLine, DevicesAndTheirStandIns) {
    EXPECT_EQ(DeviceName("  .DEVICE ATmega328P ; part"), "ATmega328P");
    EXPECT_EQ(DeviceName(".devices x"), std::nullopt);
    EXPECT_EQ(DeviceName(".device"), std::nullopt);
    EXPECT_EQ(StandInDevice("atmega165"), "ATmega164P");
    EXPECT_EQ(StandInDevice("ATmega2561"), "ATmega2560");
    EXPECT_EQ(StandInDevice("ATmega328P"), "");
    EXPECT_EQ(StandInDevice("ATmega64"), "ATmega644"); // not a prefix match of ATmega649
}

} // namespace
