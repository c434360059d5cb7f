#include "editor/Rehighlight.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvane::editor {
namespace {

enum : uint8_t { kPlain = 0, kWord = 1, kComment = 2, kString = 3, kEscape = 5 };

// A small C-like scanner: words, block comments (a comment token ends at the
// line break and the comment state carries on), and strings as containers
// whose backslash escapes are tokens of their own.
class MiniParser final : public TCustomTessaryParser {
public:
    MiniParser() { anchor_.Include(kPlain); }

    uint8_t NextToken(TCharCursor& c, int32_t& length) override {
        ++tokens;
        const int64_t start = c.GetPosition();
        const bool wasInContainer = inContainer_;
        uint8_t id = Scan(c);
        length = static_cast<int32_t>(c.GetPosition() - start);
        if (wasInContainer && (c.GetPosition() >= containerEnd_ || c.AtEnd())) inContainer_ = false;
        return id;
    }
    void ResetState(uint8_t context) override {
        ++resets;
        lastContext = context;
        inComment_ = context == kComment;
        inContainer_ = false;
    }
    bool Busy() const override { return inContainer_; }
    bool InContainer() const override { return inContainer_; }
    const TStateSet& Anchor() const override { return anchor_; }
    bool InBoundState() const override { return false; }

    int tokens = 0;
    int resets = 0;
    uint8_t lastContext = 255;

private:
    static bool IsLetter(uint8_t ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }
    uint8_t Scan(TCharCursor& c) {
        if (inContainer_) {
            if (c.Peek() == '\\') {
                c.Next();
                c.Next();
                return kEscape;
            }
            c.Next();
            return kPlain;
        }
        if (inComment_) return CommentBody(c);
        const uint8_t ch = c.Peek();
        c.Next();
        if (ch == '/' && !c.AtEnd() && c.Peek() == '*') {
            c.Next();
            inComment_ = true;
            return CommentBody(c);
        }
        if (IsLetter(ch)) {
            while (!c.AtEnd() && IsLetter(c.Peek()))
                c.Next();
            return kWord;
        }
        if (ch == '"') {
            while (!c.AtEnd() && c.Peek() != '"' && c.Peek() != '\r')
                c.Next();
            if (!c.AtEnd() && c.Peek() == '"') c.Next();
            inContainer_ = true;
            containerEnd_ = c.GetPosition();
            return kString;
        }
        return kPlain;
    }
    uint8_t CommentBody(TCharCursor& c) {
        while (!c.AtEnd()) {
            const uint8_t ch = c.Peek();
            c.Next();
            if (ch == '\r') break;
            if (ch == '*' && !c.AtEnd() && c.Peek() == '/') {
                c.Next();
                inComment_ = false;
                break;
            }
        }
        return kComment;
    }

    TStateSet anchor_;
    bool inComment_ = false;
    bool inContainer_ = false;
    int64_t containerEnd_ = 0;
};

std::vector<uint8_t> Bytes(const TTextStore& store, TLineIndex line) {
    const auto s = store.NodeStyles(line);
    return {s.begin(), s.end()};
}

class RehighlightTest : public ::testing::Test {
protected:
    void Load(const std::string& text) {
        store.SetText(text);
        EXPECT_EQ(highlighter.PendingLine(), 0);
        highlighter.Run();
        EXPECT_EQ(highlighter.PendingLine(), -1);
    }
    std::string Lines(int count, const std::string& line) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += line + "\r";
        return text;
    }

    TTextStore store;
    MiniParser parser;
    TRehighlighter highlighter{store};
    void SetUp() override { highlighter.SetParser(&parser); }
};

TEST_F(RehighlightTest, EditInsideACommentRescansOnlyAroundThatLine) {
    std::string text = Lines(100, "x = 1");
    Load(text);
    const TOffset line50 = store.LineStart(50);
    store.Replace(line50, line50 + 5, "/* abc */");
    highlighter.Run();
    EXPECT_EQ(Bytes(store, 50), (std::vector<uint8_t>{2, 2, 2, 2, 2, 2, 2, 2, 2, 0}));

    store.Insert(line50 + 4, "Q"); // inside the comment
    const TRehighlightResult r = highlighter.Run();
    EXPECT_TRUE(r.ran);
    EXPECT_EQ(r.firstLine, 50);
    EXPECT_EQ(r.lastLine, 50);
    // The line before (where the scan restarts), the edited line, and the
    // line after it that proves the states agree again.
    EXPECT_EQ(r.linesScanned, 3);
    EXPECT_EQ(Bytes(store, 50)[4], kComment);
}

TEST_F(RehighlightTest, OpeningAMultiLineCommentRescansUntilTheStylesAgree) {
    std::string text = Lines(100, "x = 1");
    text.replace(text.find("x = 1", 60 * 6), 5, "y */z");
    Load(text);
    ASSERT_EQ(store.LineText(60), "y */z");
    EXPECT_EQ(Bytes(store, 60)[0], kWord);

    store.Insert(store.LineStart(10), "/*");
    TRehighlightResult r = highlighter.Run();
    EXPECT_EQ(r.firstLine, 10);
    EXPECT_EQ(r.lastLine, 60);
    EXPECT_EQ(r.linesScanned, 61 - 9 + 1); // lines 9 .. 61
    EXPECT_EQ(Bytes(store, 10), std::vector<uint8_t>(8, kComment));
    for (TLineIndex line = 11; line < 60; ++line)
        EXPECT_EQ(Bytes(store, line), std::vector<uint8_t>(6, kComment)) << line;
    EXPECT_EQ(Bytes(store, 60), (std::vector<uint8_t>{2, 2, 2, 2, 1, 0}));
    EXPECT_EQ(Bytes(store, 61)[0], kWord);

    // An edit on the comment's third line restarts before the comment's
    // opening (the nearest anchor), so the line stays a comment.
    store.Insert(store.LineStart(12) + 1, "abc");
    r = highlighter.Run();
    EXPECT_EQ(parser.lastContext, kPlain);
    EXPECT_EQ(Bytes(store, 12), std::vector<uint8_t>(9, kComment));
    EXPECT_LT(r.linesScanned, 10);

    // Closing it again gives the old bytes back from line 11 on.
    store.Delete(store.LineStart(10), 2);
    r = highlighter.Run();
    EXPECT_EQ(r.lastLine, 60);
    EXPECT_EQ(Bytes(store, 30), (std::vector<uint8_t>{1, 0, 0, 0, 0, 0}));
}

TEST_F(RehighlightTest, ContainerTokensShowInnerTokensWithTheirOwnIds) {
    Load("a \"b\\nc\" d");
    EXPECT_EQ(Bytes(store, 0), (std::vector<uint8_t>{1, 0, 3, 3, 5, 5, 3, 3, 0, 1}));
}

TEST_F(RehighlightTest, LimitedRunsHighlightInSlicesWithTheSameResult) {
    const std::string text = Lines(40, "ab /* c") + Lines(40, "d */ e");
    TTextStore reference;
    {
        MiniParser p;
        TRehighlighter full(reference);
        full.SetParser(&p);
        reference.SetText(text);
        full.Run();
    }
    store.SetText(text);
    int runs = 0;
    TRehighlightResult r;
    do {
        r = highlighter.Run(7);
        ++runs;
    } while (r.pending && runs < 100);
    EXPECT_EQ(runs, (81 + 6) / 7);
    for (TLineIndex line = 0; line < store.LineCount(); ++line)
        EXPECT_EQ(Bytes(store, line), Bytes(reference, line)) << line;
}

TEST_F(RehighlightTest, TokenEventsBracketTheRunAndNothingHappensWithoutAParser) {
    std::vector<std::tuple<int, int, int>> seen;
    highlighter.OnTokenSeen = [&](int id, TOffset s, TOffset e) { seen.emplace_back(id, s, e); };
    highlighter.reportTokens = true;
    Load("ab c");
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.front(), std::make_tuple(-1, -1, -1));
    EXPECT_EQ(seen.back(), std::make_tuple(-2, -2, -2));
    EXPECT_EQ(seen[1], std::make_tuple(1, 0, 2));
    EXPECT_EQ(parser.resets, 2); // before and after the scan

    highlighter.SetParser(nullptr);
    store.Insert(0, "x");
    EXPECT_FALSE(highlighter.Run().ran);
    highlighter.SetParser(&parser);
    highlighter.SetEnabled(false);
    EXPECT_FALSE(highlighter.Run().ran);
    highlighter.SetEnabled(true);
    EXPECT_TRUE(highlighter.Run().ran);
    EXPECT_EQ(Bytes(store, 0)[0], kWord);
}

TEST_F(RehighlightTest, ChangedLinesAreMarkedForRepaintAndNoLongerForRehighlighting) {
    Load("a\rb\rc");
    for (TLineIndex line = 0; line < 3; ++line) {
        store.SetNodeState(line, 0);
    }
    store.Insert(store.LineStart(1), "/*");
    highlighter.Run();
    for (TLineIndex line = 0; line < 3; ++line)
        EXPECT_EQ(store.Node(line).state & kStateRehighlight, 0u) << line;
    EXPECT_NE(store.Node(1).state & kStateRepaint, 0u);
    EXPECT_NE(store.Node(2).state & kStateRepaint, 0u);
    EXPECT_EQ(store.Node(0).state & kStateRepaint, 0u);
}

// One token over many nodes (a word far longer than a node) finishes all of
// them at once, and every node gets its share of the token's bytes.
TEST_F(RehighlightTest, TokenLongerThanManyNodesFillsEachOfThem) {
    const std::string word(150'000, 'w');
    Load("a = 1\r" + word + " b\rc");
    ASSERT_GT(store.LineCount(), 70);
    const TLineIndex last = store.LineCount() - 1;
    for (TLineIndex line = 1; line < last - 1; ++line)
        ASSERT_EQ(Bytes(store, line), std::vector<uint8_t>(store.Node(line).length, kWord)) << line;
    // The word's last node ends in " b" and the line break.
    std::vector<uint8_t> tail(store.Node(last - 1).length, kWord);
    tail.end()[-3] = kPlain;
    tail.end()[-1] = kPlain;
    EXPECT_EQ(Bytes(store, last - 1), tail);
    EXPECT_EQ(Bytes(store, last), std::vector<uint8_t>{kWord});

    // Typing into its middle re-scans the whole word and leaves it as it was.
    store.Insert(store.LineStart(40) + 7, "x");
    highlighter.Run();
    for (TLineIndex line = 1; line < last - 1; ++line)
        ASSERT_EQ(Bytes(store, line), std::vector<uint8_t>(store.Node(line).length, kWord)) << line;
}

// The parser's cursor over the store reads block by block; every move must
// behave exactly as over the same text in one string, across block borders
// and at both ends.
TEST(EdStreamCursor, WalksTheStoreLikeAStringCursor) {
    TTextStore store;
    std::string source;
    for (int i = 0; i < 900; ++i)
        source +=
            i % 7 == 0 ? "\n" : "line " + std::to_string(i) + " mov a,#" + std::string(i % 13, 'x') + "\n";
    store.SetText(source);
    // Edits split and merge blocks, so the borders fall in varied places.
    store.Insert(store.LineStart(300) + 2, std::string(20000, 'q'));
    store.Delete(store.LineStart(500), store.LineStart(620) - store.LineStart(500));
    const std::string text = store.Text();
    ASSERT_GT(text.size(), size_t{TTextStore::kBlockChars * 2});

    TEdStreamCursor cursor(store);
    TStringCursor expected(text);
    const int64_t length = static_cast<int64_t>(text.size());
    uint32_t seed = 12345;
    auto random = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int step = 0; step < 200000; ++step) {
        const uint32_t op = random(100);
        if (op < 1) {
            const int64_t to = static_cast<int64_t>(random(static_cast<uint32_t>(length + 40))) - 20;
            cursor.SetPosition(to);
            expected.SetPosition(to);
        } else if (op < 3) {
            // Near the ends, where the windows run out.
            const int64_t to = random(2) ? length - 3 + random(5) : static_cast<int64_t>(random(4)) - 1;
            cursor.SetPosition(to);
            expected.SetPosition(to);
        } else if (op < 60) {
            cursor.Next();
            expected.Next();
        } else {
            cursor.Back();
            expected.Back();
        }
        ASSERT_EQ(cursor.GetPosition(), expected.GetPosition()) << step;
        ASSERT_EQ(cursor.AtEnd(), expected.AtEnd()) << step;
        ASSERT_EQ(cursor.Peek(), expected.Peek()) << step;
    }
    // A walk over the whole text forth and back reads every character.
    cursor.SetPosition(0);
    std::string forth;
    for (; !cursor.AtEnd(); cursor.Next())
        forth += static_cast<char>(cursor.Peek());
    EXPECT_EQ(forth, text);
    std::string back;
    while (cursor.GetPosition() > 0) {
        cursor.Back();
        back.insert(back.begin(), static_cast<char>(cursor.Peek()));
    }
    EXPECT_EQ(back, text);
}

TEST(EdStreamCursor, EmptyStoreIsAtTheEndEverywhere) {
    TTextStore store;
    TEdStreamCursor cursor(store);
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_EQ(cursor.Peek(), 0);
    cursor.Back();
    cursor.Next();
    cursor.SetPosition(7);
    EXPECT_EQ(cursor.GetPosition(), 0);
    EXPECT_TRUE(cursor.AtEnd());
}

} // namespace
} // namespace torvane::editor
