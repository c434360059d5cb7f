#include "editor/SearchText.h"

#include <gtest/gtest.h>

#include <string>

using namespace torvane::editor;

namespace {

std::string Expand(std::string_view text) {
    return ExpandReplacement(text, [](int n) { return "<" + std::to_string(n) + ">"; });
}

} // namespace

TEST(SearchText, ReplacementEscapes) {
    EXPECT_EQ(Expand("%%"), "%");
    EXPECT_EQ(Expand("a%1b%12c"), "a<1>b<12>c");
    EXPECT_EQ(Expand("%0%256x"), "x");
    EXPECT_EQ(Expand("%q%"), "q%");
    EXPECT_EQ(Expand("\\\\\\x41\\x4g\\101\\t\\s\\n\\r\\b\\f\\q\\x"), std::string("\\A\x04gA\t \r\r\b\fqx"));
    EXPECT_EQ(Expand("ab\\400cd"), "ab"); // a code of 256 or more ends the text
    EXPECT_EQ(Expand("\\N\\T"), "\r\t");
    EXPECT_EQ(Expand("end\\"), "end\\");
}

TEST(SearchText, SkipTableIsRebuiltOnlyWhenTheTextOrCaseModeChanges) {
    TSkipTable table;
    EXPECT_TRUE(table.Prepare("Mov", false));
    EXPECT_FALSE(table.Prepare("MOV", false)); // the same upper-case form
    EXPECT_TRUE(table.Prepare("MOV", true));
    EXPECT_FALSE(table.Prepare("MOV", true));
    const std::string text = "xx mov MOV";
    EXPECT_EQ(table.FindIn(text.data(), text.size(), 0), 7u);
    table.Prepare("mov", false);
    EXPECT_EQ(table.FindIn(text.data(), text.size(), 0), 3u);
    EXPECT_EQ(table.FindIn(text.data(), text.size(), 4), 7u);
    EXPECT_EQ(table.FindIn(text.data(), 9, 4), TSkipTable::npos);
}

TEST(SearchText, UpperCaseOfTheCodePage) {
    EXPECT_EQ(UpperCase('a'), 'A');
    EXPECT_EQ(UpperCase('_'), '_');
    EXPECT_EQ(UpperCase(0x9A), 0x8A); // s with caron
    EXPECT_EQ(UpperCase(0xEC), 0xCC); // e with caron
    EXPECT_EQ(UpperCase(0xF7), 0xF7); // division sign
    EXPECT_EQ(UpperCase(0xDF), 0xDF); // sharp s has no capital here
}
