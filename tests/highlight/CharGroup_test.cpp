#include "highlight/CharGroup.h"

#include "common/Exceptions.h"

#include <gtest/gtest.h>

#include <string>

using namespace torvane;

namespace {

TTE_CharGroup Parse(std::string_view text, size_t* endPos = nullptr) {
    TTE_CharGroup g;
    size_t pos = 0;
    g.ParseSpecifier(text, pos);
    if (endPos) *endPos = pos;
    return g;
}

std::string Members(const TTE_CharGroup& g) {
    std::string out;
    for (int c = 0; c < 256; ++c)
        if (g.Contains(static_cast<uint8_t>(c))) out.push_back(static_cast<char>(c));
    return out;
}

} // namespace

TEST(CharGroup, NegatedClassExcludesOnlyItsRange) {
    TTE_CharGroup g = Parse("[^a-z]");
    EXPECT_TRUE(g.Negated());
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(g.Contains(static_cast<uint8_t>(c)), !(c >= 'a' && c <= 'z')) << c;
    EXPECT_TRUE(g.Contains(13));
}

TEST(CharGroup, EscapesFollowTheEditorsLineBreakConvention) {
    EXPECT_EQ(Members(Parse("\\n")), "\r"); // 13
    EXPECT_EQ(Members(Parse("\\r")), "\n"); // 10
    EXPECT_EQ(Members(Parse("\\x41")), "A");
    EXPECT_EQ(Members(Parse("\\101")), "A");
    EXPECT_EQ(Members(Parse("\\X141")), "A"); // hex digits run on, value modulo 256
    EXPECT_EQ(Members(Parse("\\501")), "A");  // 0o501 = 321, modulo 256 = 65
    EXPECT_EQ(Members(Parse("[\\t\\S\\e\\B]")), std::string("\x08\x09\x1b ", 4));
    EXPECT_EQ(Members(Parse("\\q")), "q");
    EXPECT_EQ(Members(Parse("\\")), "\\");
}

TEST(CharGroup, OutsideAClassTheFirstCharacterOrRangeIsTheWholeSpecifier) {
    size_t end = 0;
    EXPECT_EQ(Members(Parse("abc", &end)), "a");
    EXPECT_EQ(end, 1u);
    EXPECT_EQ(Members(Parse("a-cx", &end)), "abc");
    EXPECT_EQ(end, 3u);
    EXPECT_EQ(Members(Parse("]x", &end)), "]");
    EXPECT_EQ(end, 1u);
    EXPECT_EQ(Members(Parse("\\[", &end)), "[");
    EXPECT_EQ(end, 2u);
}

TEST(CharGroup, ClassesCloseOnUnescapedBracketAndRunToTheEndWhenOpen) {
    size_t end = 0;
    EXPECT_EQ(Members(Parse("[a\\]b]z", &end)), "]ab");
    EXPECT_EQ(end, 6u);
    EXPECT_EQ(Members(Parse("[xy", &end)), "xy");
    EXPECT_EQ(end, 3u);
    // A dash before the closing bracket is a member, not a range to "]".
    EXPECT_EQ(Members(Parse("[+-]z", &end)), "+-");
    EXPECT_EQ(end, 4u);
    EXPECT_EQ(Members(Parse("[0-9A-F]")), "0123456789ABCDEF");
}

TEST(CharGroup, ReversedRangeIsAnError) {
    EXPECT_THROW(
        {
            try {
                Parse("[z-a]");
            } catch (const ETessary& e) {
                EXPECT_STREQ(e.what(), "Characters not in correct order for range specifier");
                throw;
            }
        },
        ETessary);
}

TEST(CharGroup, EmptyNegatedGroupCountsAsEmptyButContainsEverything) {
    TTE_CharGroup g = Parse("[^]");
    EXPECT_TRUE(g.IsEmpty());
    EXPECT_TRUE(g.Contains(0));
    EXPECT_TRUE(g.Contains(255));
    EXPECT_FALSE(Parse("[^a]").IsEmpty());
}

TEST(CharGroup, StreamFormRoundTripsAndRejectsRanges) {
    TTE_CharGroup g = Parse("[^\\x80-\\xff]");
    TMemoryStream s;
    g.SaveToStream(s);
    ASSERT_EQ(s.Size(), 37);
    EXPECT_EQ(s.Bytes()[15], 0x00); // the members 128..255 are bytes 16..31
    EXPECT_EQ(s.Bytes()[16], 0xFF);
    EXPECT_EQ(s.Bytes()[36], 1);

    std::unique_ptr<TTE_Base> copy = g.Clone();
    EXPECT_TRUE(static_cast<TTE_CharGroup&>(*copy).Equals(g));

    s.Bytes()[32] = 1; // a nonzero explicit range count
    s.SetPosition(0);
    TTE_CharGroup damaged;
    EXPECT_THROW(damaged.LoadFromStream(s), EStreamError);
}

TEST(CharGroupManager, EqualGroupsInternToOneIndex) {
    TTE_CharGroupManager m;
    int a = m.Intern(Parse("[a-c]"));
    int b = m.Intern(Parse("[abc]"));
    int c = m.Intern(Parse("[^abc]"));
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(m.Count(), 2);
    EXPECT_EQ(Members(m.Get(a)), "abc");
}

TEST(CharGroupManager, OutOfRangeIndexNamesTheIndex) {
    TTE_CharGroupManager m;
    m.Intern(Parse("a"));
    try {
        m.Get(1);
        FAIL();
    } catch (const ETessary& e) {
        EXPECT_STREQ(e.what(), "Invalid Set ID (1)");
    }
    EXPECT_THROW(m.Get(-1), ETessary);
}

TEST(CharGroupManager, LoadReinternsSoDuplicatesCollapse) {
    TMemoryStream s;
    stream_io::WriteI32(s, 3);
    Parse("a").SaveToStream(s);
    Parse("b").SaveToStream(s);
    Parse("a").SaveToStream(s);
    s.SetPosition(0);
    TTE_CharGroupManager m;
    m.Intern(Parse("z"));
    m.LoadFromStream(s);
    EXPECT_EQ(m.Count(), 2);
    EXPECT_EQ(Members(m.Get(0)), "a");
}

TEST(TEBase, AssignFromAnotherClassIsRefused) {
    TTE_CharGroup g;
    TTE_CharGroupManager m;
    try {
        g.Assign(m);
        FAIL();
    } catch (const ETessary& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TTE_CharGroupManager to a TTE_CharGroup");
    }
}
