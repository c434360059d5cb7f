#include "common/Messages.h"
#include "regex/REParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace torvane;

namespace {

// Span of element n of the last match: slot n-1 to slot n.
std::string Element(const TREParser& re, const std::string& text, int n) {
    return text.substr(static_cast<size_t>(re.Position(n - 1)),
                       static_cast<size_t>(re.Position(n) - re.Position(n - 1)));
}

} // namespace

TEST(REParser, ProgramHasMagicBigEndianLinksAndOneNodePerCharacter) {
    TREParser re;
    ASSERT_TRUE(re.Compile("ab"));
    // BRANCH -> END, EXACTLY "a" -> EXACTLY "b" -> END.
    const std::vector<std::uint8_t> expected = {0x9C, 6, 0, 13, 8, 0, 5, 'a', 0, 8, 0, 5, 'b', 0, 0, 0, 0};
    ASSERT_EQ(re.ProgramSize(), expected.size());
    EXPECT_EQ(std::vector<std::uint8_t>(re.Program().begin(), re.Program().begin() + 17), expected);

    // A link longer than 255 bytes keeps its high byte first.
    ASSERT_TRUE(re.Compile("[a]b"));
    EXPECT_EQ(re.Program()[1], 6);                                   // BRANCH
    EXPECT_EQ(re.Program()[2] * 256 + re.Program()[3], 259 + 5 + 3); // to END
}

TEST(REParser, FreshOrFailedEngineRefusesToSearch) {
    TREParser re;
    EXPECT_EQ(re.Program()[0], TREParser::kFreshMagic);
    TStringCharSource text("abc");
    try {
        re.Execute(&text, true);
        FAIL() << "a fresh engine searched";
    } catch (const ERegExpError& e) {
        EXPECT_EQ(e.Id(), msg::SREInvalidParameter);
        EXPECT_STREQ(e.what(), "Invalid parameter");
    }
    ASSERT_TRUE(re.Compile("b"));
    ASSERT_TRUE(re.Execute(&text, true));
    EXPECT_FALSE(re.Compile("b("));
    TStringCharSource again("abc");
    EXPECT_THROW(re.Execute(&again, true), ERegExpError);
    EXPECT_THROW(re.Execute(nullptr, true), ERegExpError);
    EXPECT_FALSE(re.Compile(""));
    EXPECT_EQ(re.ErrorId(), msg::SREInvalidParameter);
}

TEST(REParser, CompilesEachDistinctPatternOnceButRetriesFailures) {
    TREParser re;
    ASSERT_TRUE(re.Compile("mov"));
    ASSERT_TRUE(re.Compile("mov"));
    EXPECT_EQ(re.ParseCount(), 1);
    EXPECT_EQ(re.ErrorId(), msg::SRENoErrors);
    ASSERT_TRUE(re.Compile("movx"));
    EXPECT_EQ(re.ParseCount(), 2);

    EXPECT_FALSE(re.Compile("a**"));
    EXPECT_FALSE(re.Compile("a**"));
    EXPECT_EQ(re.ParseCount(), 4);
    EXPECT_EQ(re.ErrorId(), msg::SRENestedRepeat);
    EXPECT_EQ(re.ErrorPosition(), 3);
    EXPECT_EQ(re.ErrorMessage(), "Nested repeat");
    // After a failure the previous pattern is no longer cached either.
    ASSERT_TRUE(re.Compile("movx"));
    EXPECT_EQ(re.ParseCount(), 5);
}

TEST(REParser, ErrorPositionsOfTheRewrittenTextAndEveryErrorText) {
    TREParser re;
    EXPECT_FALSE(re.Compile("a||b)"));
    EXPECT_EQ(re.ParsedText(), "(((a)(b)?)|((b)(a)?)))");
    EXPECT_EQ(re.ErrorId(), msg::SREUnmatchedParen);
    EXPECT_EQ(re.ErrorPosition(), static_cast<int>(re.ParsedText().size()));

    for (int id = msg::SRENoErrors; id <= msg::SREInternalError; ++id) {
        if (id != 4249 && id != 4257) EXPECT_STRNE(LoadStr(id), "") << id;
    }
}

TEST(REParser, ElementSlotsFoldTheOutermostGroup) {
    TREParser re;
    const std::string text = "xabc";
    ASSERT_TRUE(re.Compile("(ab)c"));
    TStringCharSource source(text);
    ASSERT_TRUE(re.Execute(&source, true));
    ASSERT_EQ(re.SlotCount(), 3);
    EXPECT_EQ(Element(re, text, 1), "");
    EXPECT_EQ(Element(re, text, 2), "ab");
    EXPECT_EQ(Element(re, text, 3), "c");
    EXPECT_EQ(source.Position(), 4); // after the match
    EXPECT_EQ(re.Position(255), -1);
    EXPECT_THROW(re.Position(256), ERegExpError);

    // Plain characters are one element each, a STAR run is one element.
    const std::string line = "MOV  A,#12";
    ASSERT_TRUE(re.Compile("MOV\\s+A,#\\d+"));
    TStringCharSource asmLine(line);
    ASSERT_TRUE(re.Execute(&asmLine, true));
    ASSERT_EQ(re.SlotCount(), 8);
    EXPECT_EQ(Element(re, line, 4), "  ");
    EXPECT_EQ(Element(re, line, 8), "12");
}

TEST(REParser, BackwardSearchStepsOffTheEndAndFindsTheNearestMatch) {
    TREParser re;
    ASSERT_TRUE(re.Compile("ab"));
    TStringCharSource text("ab ab ab");
    text.SetPosition(8);
    ASSERT_TRUE(re.Execute(&text, false));
    EXPECT_EQ(re.Position(0), 6);
    text.SetPosition(5);
    ASSERT_TRUE(re.Execute(&text, false));
    EXPECT_EQ(re.Position(0), 3);

    TStringCharSource empty("");
    EXPECT_FALSE(re.Execute(&empty, false));
    EXPECT_FALSE(re.Execute(&empty, true));
}

TEST(REParser, TooManyElementsInOneMatchIsAnIndexRangeError) {
    TREParser re;
    ASSERT_TRUE(re.Compile("(ab)*c"));
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "ab";
    text += "c";
    TStringCharSource shortRun(text);
    ASSERT_TRUE(re.Execute(&shortRun, true)); // 100 passes: two slots each
    for (int i = 0; i < 100; ++i)
        text.insert(0, "ab");
    TStringCharSource longRun(text);
    try {
        re.Execute(&longRun, true);
        FAIL() << "no error";
    } catch (const ERegExpError& e) {
        EXPECT_EQ(e.Id(), msg::SREIndexRange);
        EXPECT_EQ(re.ErrorId(), msg::SREIndexRange);
    }
}

TEST(REParser, RunawayPatternsStopWithAnErrorInsteadOfHanging) {
    TREParser re;
    // Exponential backtracking: every split of the a's between the two
    // alternatives is tried before failing on the missing b.
    ASSERT_TRUE(re.Compile("(a|aa)+b"));
    const std::string manyA(90, 'a');
    TStringCharSource as(manyA);
    try {
        re.Execute(&as, true);
        FAIL() << "no error";
    } catch (const ERegExpError& e) {
        EXPECT_EQ(e.Id(), msg::SRegExpTooComplex);
    }
    // Quadratic work over one long run of x: every start position counts the
    // rest of the run again.
    ASSERT_TRUE(re.Compile("x*y"));
    std::string run(4'000'000, 'x');
    TStringCharSource xs(run);
    EXPECT_THROW(re.Execute(&xs, true), ERegExpError);
    // The same engine still searches normally afterwards.
    ASSERT_TRUE(re.Compile("x*y"));
    TStringCharSource xy("xxy");
    ASSERT_TRUE(re.Execute(&xy, true));
    EXPECT_EQ(re.ErrorId(), 0);
}

TEST(REParser, LongTextsDoNotGrowTheStack) {
    // A greedy loop over a group keeps one choice point per pass; a deep run
    // must neither recurse nor fail.
    TREParser re;
    ASSERT_TRUE(re.Compile("\"ab\"*c"));
    std::string text;
    for (int i = 0; i < 200'000; ++i)
        text += "ab";
    text += "c";
    TStringCharSource source(text);
    // Each pass fills a slot, so this ends in the slot limit, not a crash.
    EXPECT_THROW(re.Execute(&source, true), ERegExpError);
    ASSERT_TRUE(re.Compile("[ab]*c"));
    TStringCharSource again(text);
    ASSERT_TRUE(re.Execute(&again, true));
    EXPECT_EQ(re.Position(re.SlotCount()), static_cast<TREPos>(text.size()));
}

TEST(REParser, CodeZeroNeverMatches) {
    TREParser re;
    std::string text("a\0b", 3);
    for (const char* pattern : {"\\0", "a\\x0", "\"a\\0b\"", "\\x00*b"}) {
        ASSERT_TRUE(re.Compile(pattern)) << pattern;
        TStringCharSource source(text);
        bool found = re.Execute(&source, true);
        if (std::string(pattern) == "\\x00*b") {
            ASSERT_TRUE(found);
            EXPECT_EQ(re.Position(0), 2);
        } else {
            EXPECT_FALSE(found) << pattern;
        }
    }
}
