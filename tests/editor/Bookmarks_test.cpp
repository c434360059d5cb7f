#include "editor/Bookmarks.h"

#include "common/Exceptions.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace torvane::editor {
namespace {

std::string Numbered(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "line " + std::to_string(i) + "\r";
    return text;
}

class BookmarksTest : public ::testing::Test {
protected:
    void SetUp() override { store.SetText(Numbered(20)); }
    uint16_t Bits(TLineIndex line) const { return store.Node(line).marks & kMarkBookmarkMask; }
    // Every set bookmark's bit is on its line and nowhere else.
    void ExpectBitsMatch() const {
        for (TLineIndex line = 0; line < store.LineCount(); ++line) {
            uint16_t expected = 0;
            for (int n = 0; n < TBookmarks::kCount; ++n)
                if (bookmarks.LineOf(n) == line) expected |= static_cast<uint16_t>(1u << n);
            ASSERT_EQ(Bits(line), expected) << "line " << line;
        }
    }

    TTextStore store;
    TBookmarks bookmarks{store};
};

TEST_F(BookmarksTest, SettingTwiceOnOneLineTogglesAndSettingElsewhereMoves) {
    std::vector<int> setEvents;
    bookmarks.OnBookmarkSet = [&](int n) { setEvents.push_back(n); };
    bookmarks.SetBookmark(1, store.LineStart(5) + 2);
    EXPECT_EQ(bookmarks.LineOf(1), 5);
    EXPECT_EQ(bookmarks.Column(1), 3);
    EXPECT_EQ(Bits(5), 1u << 1);
    bookmarks.SetBookmark(1, store.LineStart(5));
    EXPECT_EQ(bookmarks.LineOf(1), -1);
    EXPECT_EQ(Bits(5), 0u);
    EXPECT_EQ(setEvents, std::vector<int>{1});

    bookmarks.SetBookmark(1, store.LineStart(5));
    bookmarks.SetBookmark(1, store.LineStart(9));
    EXPECT_EQ(Bits(5), 0u);
    EXPECT_EQ(bookmarks.LineOf(1), 9);
    ExpectBitsMatch();
}

TEST_F(BookmarksTest, ALineCarriesOneNumberedBookmark) {
    bookmarks.SetBookmark(1, store.LineStart(4));
    bookmarks.SetBookmark(2, store.LineStart(4) + 1);
    EXPECT_EQ(Bits(4), 1u << 2);
    EXPECT_FALSE(bookmarks.GotoBookmark(1, 10));
    EXPECT_EQ(bookmarks.Column(1), 0);
    ExpectBitsMatch();
}

TEST_F(BookmarksTest, IndexAboveNineIsARangeError) {
    EXPECT_THROW(bookmarks.GotoBookmark(10, 10), ETessary);
    try {
        bookmarks.SetBookmark(10, 0);
        FAIL();
    } catch (const ETessary& e) {
        EXPECT_STREQ(e.what(), "Bookmark index range error");
    }
    EXPECT_THROW(bookmarks.SetBookmark(-1, 0), ETessary);
}

TEST_F(BookmarksTest, BookmarkStaysWithItsTextThroughEdits) {
    bookmarks.SetBookmark(3, store.LineStart(6));
    // A line inserted right at the bookmarked line's start goes above it.
    store.Insert(store.LineStart(6), "new line\r");
    EXPECT_EQ(bookmarks.LineOf(3), 7);
    EXPECT_EQ(store.LineText(7), "line 6");
    ExpectBitsMatch();
    // Typing RETURN at the end of the line above.
    store.Insert(store.LineStart(7) - 1, "\r");
    EXPECT_EQ(bookmarks.LineOf(3), 8);
    // Text typed at the line's start stays on the line.
    store.Insert(store.LineStart(8), "abc");
    EXPECT_EQ(bookmarks.LineOf(3), 8);
    ExpectBitsMatch();
    // Deleting lines above moves it up.
    store.Delete(0, store.LineStart(2));
    EXPECT_EQ(bookmarks.LineOf(3), 6);
    EXPECT_EQ(store.LineText(6), "abcline 6");
    ExpectBitsMatch();
}

TEST_F(BookmarksTest, DeletingTheBookmarkedLineRemovesTheBookmark) {
    bookmarks.SetBookmark(2, store.LineStart(6));
    store.Delete(store.LineStart(6), store.LineStart(7) - store.LineStart(6));
    EXPECT_EQ(bookmarks.LineOf(2), -1);
    ExpectBitsMatch();
    EXPECT_EQ(store.LineText(6), "line 7");
    EXPECT_FALSE(bookmarks.GotoBookmark(2, 10));

    // Emptying the line but keeping its break keeps the bookmark.
    bookmarks.SetBookmark(4, store.LineStart(3));
    store.Delete(store.LineStart(3), 6);
    EXPECT_EQ(bookmarks.LineOf(4), 3);
    EXPECT_EQ(store.LineText(3), "");
    ExpectBitsMatch();
}

TEST_F(BookmarksTest, JoiningLinesKeepsTheUpperLinesOwnBookmark) {
    bookmarks.SetBookmark(1, store.LineStart(3));
    bookmarks.SetBookmark(2, store.LineStart(4));
    bookmarks.SetBookmark(5, store.LineStart(8));
    store.Delete(store.LineStart(4) - 1, 1); // join lines 3 and 4
    EXPECT_EQ(bookmarks.LineOf(1), 3);
    EXPECT_EQ(bookmarks.LineOf(2), -1);
    // Joining 7 (no bookmark) with 8 takes bookmark 5 to the joined line.
    store.Delete(store.LineStart(7) - 1, 1);
    EXPECT_EQ(bookmarks.LineOf(5), 6);
    ExpectBitsMatch();
}

TEST_F(BookmarksTest, GotoCentresTheLineAndClampsTheColumnToAShortenedLine) {
    bookmarks.SetBookmark(7, store.LineStart(15) + 6); // column 7 of "line 15"
    auto target = bookmarks.GotoBookmark(7, 10);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->caret, store.LineStart(15) + 6);
    EXPECT_EQ(target->topLine, 10);
    store.Delete(store.LineStart(15) + 2, 4); // "li5"
    target = bookmarks.GotoBookmark(7, 10);
    EXPECT_EQ(target->caret, store.LineStart(15) + 3); // the line's end
    // Near the top the top line does not go negative.
    bookmarks.SetBookmark(8, 0);
    EXPECT_EQ(bookmarks.GotoBookmark(8, 40)->topLine, 0);
    // An empty line: the caret is its start, not the end of the line before.
    store.Insert(store.LineStart(2), "\r");
    bookmarks.SetBookmark(9, store.LineStart(2));
    store.Insert(store.LineStart(2), "");
    EXPECT_EQ(bookmarks.GotoBookmark(9, 10)->caret, store.LineStart(2));
}

TEST_F(BookmarksTest, WrappedLineKeepsItsBookmarkOnTheFirstSegment) {
    store.SetText("short\r" + std::string(5000, 'x') + "\rend");
    ASSERT_EQ(store.LineCount(), 5);
    bookmarks.SetBookmark(0, store.LineStart(3) + 10); // inside the third segment
    EXPECT_EQ(bookmarks.LineOf(0), 1);
    EXPECT_EQ(Bits(1), 1u);
    EXPECT_EQ(bookmarks.Column(0), 2047 * 2 + 11);
    ExpectBitsMatch();
}

TEST_F(BookmarksTest, RandomEditsNeverLeaveStrayBits) {
    std::mt19937 rng(7);
    for (int step = 0; step < 2000; ++step) {
        const TOffset length = store.TextLength();
        const int what = static_cast<int>(rng() % 4);
        const TOffset at = length ? static_cast<TOffset>(rng() % static_cast<uint32_t>(length + 1)) : 0;
        if (what == 0) {
            bookmarks.SetBookmark(static_cast<int>(rng() % 10), at);
        } else if (what == 1) {
            static const char* pieces[] = {"a", "\r", "xy\rz", "\r\r", "tail"};
            store.Insert(at, pieces[rng() % 5]);
        } else if (length > 0) {
            store.Delete(at, static_cast<TOffset>(rng() % 12));
        }
        if (store.TextLength() > 3000) store.Delete(0, 1500);
        ExpectBitsMatch();
        if (HasFatalFailure()) {
            ADD_FAILURE() << "step " << step;
            return;
        }
    }
}

TEST(CustomBookmarks, FollowInsertionsAndDeletionsAndRaiseTheFreeEvent) {
    TTextStore store;
    store.SetText("0123456789abcdef");
    TBookmarks bookmarks(store);
    std::vector<std::string> freed;
    TCustomBookmarks& named = bookmarks.Named();
    named.OnCustomBookmarkFree = [&](const std::string& name) { freed.push_back(name); };
    named.Add("five", 5);
    named.Add("ten", 10);
    named.Add("two", 2);
    ASSERT_EQ(named.Entries().front().name, "two"); // kept in offset order

    store.Insert(5, "XX"); // at the offset: moves
    EXPECT_EQ(*named.Find("five"), 7);
    EXPECT_EQ(*named.Find("two"), 2);
    EXPECT_EQ(*named.Find("ten"), 12);

    store.Delete(6, 3); // takes "five" at 7
    EXPECT_FALSE(named.Find("five"));
    EXPECT_EQ(freed, std::vector<std::string>{"five"});
    EXPECT_EQ(*named.Find("ten"), 9);

    named.Add("ten", 1); // a name is held once
    EXPECT_EQ(named.Entries().size(), 2u);
    EXPECT_EQ(named.Entries().front().name, "ten");

    store.SetText("reloaded");
    EXPECT_TRUE(named.Entries().empty());
    EXPECT_EQ(freed.size(), 3u);
}

} // namespace
} // namespace torvane::editor
