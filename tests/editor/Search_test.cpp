#include "editor/Search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace torvane::editor;

namespace {

struct Fixture {
    explicit Fixture(std::string_view text) : engine(store) { store.SetText(text); }
    TTextStore store;
    TSearchEngine engine;
};

// Every match a find-next loop reports, starting from a caret.
std::vector<TOffset> FindAll(TSearchEngine& engine, std::string_view text, uint32_t flags, TOffset caret) {
    std::vector<TOffset> starts;
    TOffset anchor = caret;
    for (;;) {
        auto r = engine.FindNext(text, flags, anchor, caret);
        if (!r.Found()) break;
        starts.push_back(r.start);
        anchor = r.start;
        caret = r.start + r.length;
        if (starts.size() > 100'000) break; // a loop that does not move on
    }
    return starts;
}

} // namespace

TEST(Search, FindNextMovesOnInsteadOfFindingTheSameMatchAgain) {
    Fixture f("mov a,b\r\nmov c,d\r\nMOV e,f");
    auto first = f.engine.FindNext("mov", 0, 0, 0);
    ASSERT_TRUE(first.Found());
    EXPECT_EQ(first.start, 0);
    auto second = f.engine.FindNext("mov", 0, first.start, first.start + first.length);
    ASSERT_TRUE(second.Found());
    EXPECT_EQ(second.start, 8);
    EXPECT_EQ(FindAll(f.engine, "mov", 0, 0), (std::vector<TOffset>{0, 8, 16}));
    f.engine.SetLastFound(-1);
    EXPECT_EQ(FindAll(f.engine, "mov", kSearchMatchCase, 0), (std::vector<TOffset>{0, 8}));
    f.engine.SetLastFound(-1);
    EXPECT_EQ(FindAll(f.engine, "mov", kSearchBackwards, 24), (std::vector<TOffset>{16, 8, 0}));
}

TEST(Search, BackwardsFromTheStartAndForwardsFromTheEndFailAtOnce) {
    Fixture f("abcabc");
    EXPECT_FALSE(f.engine.FindNext("abc", kSearchBackwards, 0, 0).Found());
    EXPECT_FALSE(f.engine.FindNext("abc", 0, 6, 6).Found());
    EXPECT_FALSE(f.engine.FindNext("abc", 0, 3, 6).Found());
    // One search (not the find-next rule) from 0 backwards finds a match that starts there.
    EXPECT_EQ(f.engine.Find("abc", kSearchBackwards, 0).start, 0);
}

TEST(Search, WholeWordsSkipLongerWords) {
    Fixture f("movx a\r\nmovc a,@a+dptr\r\n_mov\r\nmov-1\r\n mov a,#1\r\nmov");
    auto starts = FindAll(f.engine, "mov", kSearchWholeWord, 0);
    // " mov " on line 5 and the final "mov" at the text end.
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(f.store.GetRange(starts[0] - 1, starts[0] + 4), " mov ");
    EXPECT_EQ(starts[1] + 3, f.store.TextLength());
    // The control's own word tests replace the defaults.
    f.engine.SetWordTests([](unsigned char c) { return c >= 'a' && c <= 'z'; },
                          [](unsigned char c) { return c >= 'a' && c <= 'z'; });
    f.engine.SetLastFound(-1);
    EXPECT_EQ(FindAll(f.engine, "mov", kSearchWholeWord, 0).size(), 4u); // _mov and mov-1 now count
}

TEST(Search, CaseFoldingCoversTheCodePageLetters) {
    Fixture f("X\x8A"
              "KOLA x\x9A"
              "kola");
    EXPECT_EQ(FindAll(f.engine,
                      "\x9A"
                      "kola",
                      0, 0),
              (std::vector<TOffset>{1, 8}));
    f.engine.SetLastFound(-1);
    EXPECT_EQ(FindAll(f.engine,
                      "\x9A"
                      "kola",
                      kSearchMatchCase, 0),
              (std::vector<TOffset>{8}));
}

TEST(Search, PlainSearchAgreesWithANaiveSearchAcrossWindows) {
    std::mt19937 random(7);
    for (int round = 0; round < 6; ++round) {
        std::string text(150'000 + round * 977, 'x');
        for (char& c : text)
            c = "ab x"[std::uniform_int_distribution<int>(0, 3)(random)];
        const std::string needle = round % 2 ? "abba" : "aBb";
        const bool matchCase = round % 3 == 0;
        const bool wholeWord = round >= 4;
        auto fold = [&](std::string s) {
            if (!matchCase)
                for (char& c : s)
                    c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
            return s;
        };
        const std::string haystack = fold(text), pattern = fold(needle);
        auto acceptable = [&](size_t at) {
            if (!wholeWord) return true;
            auto word = [](char c) { return c != ' '; };
            return (at == 0 || !word(text[at - 1])) &&
                   (at + needle.size() == text.size() || !word(text[at + needle.size()]));
        };
        std::vector<TOffset> expected;
        for (size_t at = haystack.find(pattern); at != std::string::npos; at = haystack.find(pattern, at + 1))
            if (acceptable(at)) expected.push_back(static_cast<TOffset>(at));

        Fixture f(text);
        uint32_t flags =
            (matchCase ? uint32_t{kSearchMatchCase} : 0u) | (wholeWord ? uint32_t{kSearchWholeWord} : 0u);
        auto forward = FindAll(f.engine, needle, flags, 0);
        EXPECT_EQ(forward, expected) << "round " << round;

        f.engine.SetLastFound(-1);
        auto backward = FindAll(f.engine, needle, flags | kSearchBackwards, f.store.TextLength());
        std::vector<TOffset> reversed(expected.rbegin(), expected.rend());
        // Backwards stops once a match starts at 0 (nothing lies before it).
        EXPECT_EQ(backward, reversed) << "round " << round;
    }
}

TEST(Search, ReplaceAllCollectsMatchesBeforeReplacing) {
    Fixture f("aaa");
    auto r = f.engine.ReplaceAll("a", "aa", 0, 0, TSearchEngine::StoreReplacer(f.store));
    EXPECT_EQ(r.count, 3u);
    EXPECT_EQ(f.store.Text(), "aaaaaa");
    EXPECT_EQ(r.lastStart, 4);

    Fixture words("mov movx mov\r\nmov");
    r = words.engine.ReplaceAll("MOV", "ld", kSearchWholeWord, 0, TSearchEngine::StoreReplacer(words.store));
    EXPECT_EQ(r.count, 3u);
    EXPECT_EQ(words.store.Text(), "ld movx ld\rld");
}

TEST(Search, PatternReplaceUsesElementsOfEachMatch) {
    Fixture f("MOV  A,#1\r\nmov A,#2\r\nMOV\tA,#3");
    auto r = f.engine.ReplaceAll("\"MOV\"\\s+A", "%1X %3", kSearchRegExp, 0,
                                 TSearchEngine::StoreReplacer(f.store));
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(f.store.Text(), "MOVX A,#1\rmov A,#2\rMOVX A,#3");

    // An outermost group keeps two slots: its text is element 2.
    Fixture g("xabcx abc");
    r = g.engine.ReplaceAll("(ab)c", "[%2%%]\\n", kSearchRegExp, 0, TSearchEngine::StoreReplacer(g.store));
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(g.store.Text(), "x[ab%]\rx [ab%]\r");
}

TEST(Search, PatternErrorsReportTheMessageWithACaretAndChangeNothing) {
    Fixture f("a*b");
    auto r = f.engine.ReplaceAll("a**", "x", kSearchRegExp, 0, TSearchEngine::StoreReplacer(f.store));
    EXPECT_EQ(r.status, TSearchStatus::PatternError);
    EXPECT_EQ(f.engine.PatternError(), "Nested repeat\na**\n  ^");
    EXPECT_EQ(f.store.Text(), "a*b");
    EXPECT_EQ(f.engine.Find("[a-", kSearchRegExp, 0).status, TSearchStatus::PatternError);
    EXPECT_EQ(f.engine.PatternError(), "Invalid range\n[a-\n   ^");
    // A search that runs away is reported the same way.
    Fixture many(std::string(60, 'a'));
    EXPECT_EQ(many.engine.Find("(a|aa)+b", kSearchRegExp, 0).status, TSearchStatus::PatternError);
    EXPECT_EQ(many.engine.PatternError().substr(0, 22), "Expression too complex");
    EXPECT_EQ(TSearchEngine::NotFoundMessage("xyz"), "Search string \"xyz\" not found.");
}

TEST(Search, PatternSearchSkipsEmptyMatchesAndRunsBothWays) {
    Fixture f("aaxx\r\nmov a,#12\r\nmov b,#7");
    auto r = f.engine.Find("x*", kSearchRegExp, 0);
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.start, 2);
    EXPECT_EQ(r.length, 2);
    EXPECT_EQ(FindAll(f.engine, "#\\d+", kSearchRegExp, 0), (std::vector<TOffset>{11, 21}));
    f.engine.SetLastFound(-1);
    EXPECT_EQ(FindAll(f.engine, "^mov", kSearchRegExp | kSearchBackwards, f.store.TextLength()),
              (std::vector<TOffset>{15, 5}));
}

TEST(Search, TokenAtAnOffsetIsTheRunOfEqualTokenBytes) {
    Fixture f("  mov a,b\r\nx");
    EXPECT_EQ(f.engine.GetTokenAt(3).text, "");
    EXPECT_EQ(f.engine.GetTokenAt(3).start, 3);
    // "  " plain, "mov" keyword 2, " " plain, "a,b" 3, CR plain.
    const std::vector<uint8_t> styles = {0, 0, 2, 2, 2, 0, 3, 3, 3, 0};
    f.store.SetNodeStyles(0, styles);
    auto token = f.engine.GetTokenAt(3);
    EXPECT_EQ(token.start, 2);
    EXPECT_EQ(token.text, "mov");
    EXPECT_EQ(f.engine.GetTokenAt(8).text, "a,b");
    EXPECT_EQ(f.engine.GetTokenAt(9).text, ""); // only the line break
}
