// The token listing of golden files and "torvane-cli tokens": labels from the
// scheme's style names, one block per line, and texts that stay readable
// UTF-8 whatever bytes the source holds.

#include "highlight/TokenListing.h"

#include <gtest/gtest.h>

using namespace torvane;

namespace {

// Latin-1 with the euro sign at 0x80, for a character that takes three
// bytes in UTF-8; 0x81 stays a C1 control like an undefined code page byte.
char16_t TestDecode(uint8_t byte) noexcept {
    return byte == 0x80 ? u'\u20AC' : static_cast<char16_t>(byte);
}

struct ListingTest : testing::Test {
    TTE_Settings settings;
    void SetUp() override {
        settings.values.editable[0] = {"Default", 0};
        settings.values.editable[1] = {"Comment", 9};
        settings.values.map[9] = 9;
        settings.values.map[13] = 9; // a second token painted as a comment
        settings.values.map[4] = 4;  // a style without a name
    }
    std::string Listing(std::string_view text, const std::vector<uint8_t>& ids) {
        return FormatTokenListing(text, ids, settings, TestDecode);
    }
};

TEST_F(ListingTest, LabelsNameTheStyleAndTellTokensOfOneStyleApart) {
    EXPECT_EQ(TokenLabel(settings, 0, TestDecode), "Default");
    EXPECT_EQ(TokenLabel(settings, 9, TestDecode), "Comment");
    EXPECT_EQ(TokenLabel(settings, 13, TestDecode), "Comment(13)");
    EXPECT_EQ(TokenLabel(settings, 4, TestDecode), "4");
    EXPECT_EQ(TokenLabel(settings, 7, TestDecode), "Default(7)"); // unmapped: style 0
    // The list of names ends at the first empty one.
    settings.values.editable[1].name.clear();
    settings.values.editable[2] = {"Hidden", 9};
    EXPECT_EQ(TokenLabel(settings, 9, TestDecode), "9");
}

TEST_F(ListingTest, OneBlockPerLineWithRunsCoveringTheLineBreak) {
    // A comment that runs over the line break, an empty line, and a last
    // line without a break.
    const std::string text = "ab /*x\ry*/\r\rz";
    const std::vector<uint8_t> ids = {0, 0, 0, 13, 13, 13, 13, 13, 13, 13, 0, 0, 4};
    EXPECT_EQ(Listing(text, ids), "> ab /*x\n"
                                  "  Default        \"ab \"\n"
                                  "  Comment(13)    \"/*x\\n\"\n"
                                  "> y*/\n"
                                  "  Comment(13)    \"y*/\"\n"
                                  "  Default        \"\\n\"\n"
                                  ">\n"
                                  "  Default        \"\\n\"\n"
                                  "> z\n"
                                  "  4              \"z\"\n");
    // Nothing follows the final line break.
    EXPECT_EQ(Listing("z\r", {4, 0}), "> z\n  4              \"z\"\n  Default        \"\\n\"\n");
    EXPECT_EQ(Listing("", {}), "");
    // Ids that end early leave the rest plain rather than read past them.
    EXPECT_EQ(Listing("ab", {4}), "> ab\n  4              \"a\"\n  Default        \"b\"\n");
}

TEST_F(ListingTest, LongLabelsKeepOneSpace) {
    settings.values.editable[1].name = "A very long style name";
    EXPECT_EQ(Listing("x", {9}), "> x\n  A very long style name \"x\"\n");
}

TEST_F(ListingTest, TextsAreEscapedUtf8) {
    const std::string text = "a\tb\\\"c\x01\x7f\xe8\x80\x81";
    const std::vector<uint8_t> ids(text.size(), 0);
    // Quoted runs escape backslashes and quotes; the header shows them as
    // they are. Code page characters become UTF-8, controls and undefined
    // bytes \xHH.
    EXPECT_EQ(Listing(text, ids), "> a\\tb\\\"c\\x01\\x7F\xC3\xA8\xE2\x82\xAC\\x81\n"
                                  "  Default        \"a\\tb\\\\\\\"c\\x01\\x7F\xC3\xA8\xE2\x82\xAC\\x81\"\n");
    settings.values.editable[0].name = "Tab\there \xe8";
    EXPECT_EQ(TokenLabel(settings, 0, TestDecode), "Tab\\there \xC3\xA8");
}

} // namespace
