// Word wrap: the cut rule on its own, then the control keeping its store's
// segments in step through edits, undo, option and width changes.

#include "editor/TessaryCommands.h"
#include "editor/WordWrap.h"

#include <gtest/gtest.h>

#include <random>

using namespace torvane;
using namespace torvane::editor;

namespace {

std::vector<int32_t> Cut(std::string_view line, int32_t columns, const TTabStops* tabs = nullptr) {
    TWrapRule rule;
    rule.columns = columns;
    rule.tabs = tabs;
    std::vector<int32_t> lengths;
    CutLine(line, rule, lengths);
    return lengths;
}

TEST(WrapRule, CutsAfterBlankRunsAndInsideLongWords) {
    // The word that would pass the edge moves to the next segment.
    EXPECT_EQ(Cut("aaa bbb ccc\r", 6), (std::vector<int32_t>{4, 4, 4}));
    // Blanks at the overflow point stay at the segment's end, all of them.
    EXPECT_EQ(Cut("aaaaaa    bb", 6), (std::vector<int32_t>{10, 2}));
    // Trailing blanks and the CR never make an empty row of their own.
    EXPECT_EQ(Cut("aaaaaa   \r", 6), (std::vector<int32_t>{10}));
    // A word longer than the width is cut where it overflows.
    EXPECT_EQ(Cut("abcdefghijklm", 5), (std::vector<int32_t>{5, 5, 3}));
    EXPECT_EQ(Cut("ab abcdefghij", 5), (std::vector<int32_t>{3, 5, 5}));
    // 160 counts as a blank; a width of one still makes progress.
    EXPECT_EQ(Cut("ab\xA0"
                  "cd",
                  3),
              (std::vector<int32_t>{3, 2}));
    EXPECT_EQ(Cut("abc", 1), (std::vector<int32_t>{1, 1, 1}));
    EXPECT_EQ(Cut("", 4), (std::vector<int32_t>{0}));
}

TEST(WrapRule, TabsAreMeasuredToTheirStops) {
    TTabStops tabs;
    tabs.SetDefault(4);
    // "a" TAB reaches column 4, "bc" 6: fits 6; "d" would pass.
    EXPECT_EQ(Cut("a\tbcd", 6, &tabs), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(Cut("\t\t\tx", 8, &tabs), (std::vector<int32_t>{3, 1}));
}

TEST(WrapRule, OverrideCharactersAndTheNodeLimit) {
    TWrapRule rule;
    rule.columns = 4;
    rule.overrideOn = true;
    std::vector<int32_t> lengths;
    CutLine(">keep this line whole\r", rule, lengths);
    EXPECT_EQ(lengths, (std::vector<int32_t>{22}));
    lengths.clear();
    CutLine("no override here", rule, lengths);
    EXPECT_GT(lengths.size(), 1u);
    // 2048 characters and more are wrapped whatever the first one is.
    lengths.clear();
    CutLine(">" + std::string(2047, 'x'), rule, lengths);
    EXPECT_GT(lengths.size(), 1u);
    // A segment never outgrows a node.
    rule.columns = 5000;
    rule.overrideOn = false;
    lengths.clear();
    CutLine(std::string(5000, 'x'), rule, lengths);
    EXPECT_EQ(lengths, (std::vector<int32_t>{2047, 2047, 906}));
}

TEST(WrapRule, WordBreakHandlerChoosesTheCuts) {
    TWrapRule rule;
    rule.columns = 100;
    rule.wordBreak = [](const char*, int32_t current, int32_t count, int32_t code) {
        EXPECT_EQ(code, 0);
        return std::min(3, count - current);
    };
    std::vector<int32_t> lengths;
    CutLine("abcdefgh", rule, lengths);
    EXPECT_EQ(lengths, (std::vector<int32_t>{3, 3, 2}));
}

struct NoHost : TessaryHost {};

class WrappedControl : public ::testing::Test {
protected:
    NoHost host;
    TCustomTessary ed{&host};
    TTessaryCommands cmd{ed};

    WrappedControl() {
        ed.SetClientSize(400, 180);
        ed.SetWrapAtColumn(10);
        ed.SetOptions(ed.Options() | smoWordWrap);
    }
    void SetText(const char* text) { ed.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text)); }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (TLineIndex i = 0; i < ed.Store().LineCount(); ++i)
            rows.emplace_back(ed.Store().NodeText(i));
        return rows;
    }
    // Joined segments give the text, bit 12 sits exactly on segments that do
    // not start a line, and every segment but a line's last ends where the
    // rule says.
    void ExpectWrapped(const std::string& text) {
        const TTextStore& store = ed.Store();
        ASSERT_EQ(store.CheckInvariants(), "");
        ASSERT_EQ(store.Text(), text);
        std::string joined;
        for (TLineIndex i = 0; i < store.LineCount(); ++i) {
            const bool startsLine = i == 0 || store.NodeText(i - 1).ends_with('\r');
            ASSERT_EQ(store.Node(i).IsContinuation(), !startsLine) << "node " << i;
            joined += store.NodeText(i);
        }
        ASSERT_EQ(joined, text);
        TWrapRule rule;
        rule.columns = ed.WrapColumns();
        rule.tabs = &ed.Tabs();
        for (TLineIndex i = 0; i < store.LineCount();) {
            std::string line(store.NodeText(i));
            std::vector<int32_t> have{static_cast<int32_t>(line.size())};
            TLineIndex j = i + 1;
            for (; j < store.LineCount() && store.Node(j).IsContinuation(); ++j) {
                line += store.NodeText(j);
                have.push_back(store.Node(j).length);
            }
            std::vector<int32_t> want;
            CutLine(line, rule, want);
            ASSERT_EQ(have, want) << "line at node " << i;
            i = j;
        }
    }
};

TEST_F(WrappedControl, TypingInsideAParagraphRewrapsItAndUndoRestoresTheSegments) {
    SetText("one two three four five\rnext");
    // "three four" fills the ten columns; the blank after it stays there.
    EXPECT_EQ(Rows(), (std::vector<std::string>{"one two ", "three four ", "five\r", "next"}));
    EXPECT_TRUE(ed.Store().Node(1).IsContinuation());

    ed.SetSelection(4, 4, false);
    ed.ReplaceSel("big ");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"one big ", "two three ", "four five\r", "next"}));
    ExpectWrapped("one big two three four five\rnext");

    ed.Perform(EM_UNDO);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"one two ", "three four ", "five\r", "next"}));
    ExpectWrapped("one two three four five\rnext");
}

TEST_F(WrappedControl, SwitchingOffOrWideningJoinsTheSegments) {
    SetText("aaa bbb ccc ddd");
    EXPECT_EQ(ed.Store().LineCount(), 2);
    ed.SetWrapAtColumn(4);
    EXPECT_EQ(ed.Store().LineCount(), 4);
    ed.SetOptions(ed.Options() & ~uint32_t{smoWordWrap});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"aaa bbb ccc ddd"}));
    // Back on with the window's width: 400 px of 7-px columns, one line.
    ed.SetWrapAtColumn(0);
    ed.SetOptions(ed.Options() | smoWordWrap);
    EXPECT_EQ(ed.Store().LineCount(), 1);
    ed.SetClientSize(36, 180); // a few columns only
    EXPECT_GT(ed.Store().LineCount(), 2);
    ExpectWrapped("aaa bbb ccc ddd");
}

TEST_F(WrappedControl, OverrideLinesStayWhole) {
    ed.SetOptions(ed.Options() | smoWrapOverride);
    SetText(">this line is not wrapped\rthis line is wrapped");
    EXPECT_EQ(Rows().front(), ">this line is not wrapped\r");
    EXPECT_GT(ed.Store().LineCount(), 2);
    ed.SetWrapOverride("#");
    EXPECT_EQ(Rows().front(), ">this line ");
}

TEST_F(WrappedControl, CaretMovesOverSegmentsAsRows) {
    SetText("one two three\rx");
    // Rows: "one two " "three\r" "x".
    ed.SetSelection(1, 1, false);
    cmd.ExecuteCommand(acLineDown, false);
    EXPECT_EQ(ed.Caret(), 9); // "t|hree": same column on the next segment
    cmd.ExecuteCommand(acLineEnd, false);
    EXPECT_EQ(ed.Caret(), 13); // the end of the segment, before the CR
    cmd.ExecuteCommand(acLineUp, false);
    EXPECT_EQ(ed.Store().LineOfOffset(ed.Caret()), 0);
    cmd.ExecuteCommand(acLineDown, false);
    cmd.ExecuteCommand(acLineDown, false);
    EXPECT_EQ(ed.Caret(), 15); // "x": its line's end
}

TEST_F(WrappedControl, BookmarkStaysOnTheFirstSegment) {
    SetText("first line is long\rsecond");
    ed.SetSelection(14, 14, false); // on the second segment of line 1
    ed.Store().Bookmarks().SetBookmark(3, ed.Caret());
    EXPECT_EQ(ed.Store().Bookmarks().LineOf(3), 0);
    EXPECT_NE(ed.Store().Node(0).marks & (1u << 3), 0u);
    // Typing at the line start re-cuts the line; the mark stays on its head.
    ed.SetSelection(0, 0, false);
    ed.ReplaceSel("a very ");
    EXPECT_EQ(ed.Store().Bookmarks().LineOf(3), 0);
    EXPECT_NE(ed.Store().Node(0).marks & (1u << 3), 0u);
    for (TLineIndex i = 1; i < ed.Store().LineCount(); ++i)
        EXPECT_EQ(ed.Store().Node(i).marks & (1u << 3), 0u) << "node " << i;
}

TEST_F(WrappedControl, RandomEditsAndUndoKeepTheSegmentsInStep) {
    std::mt19937 random(20240117);
    const std::string alphabet = "ab  c\t\r";
    std::string model;
    SetText("");
    std::vector<std::string> history{model};
    for (int step = 0; step < 1500; ++step) {
        const int what = static_cast<int>(random() % 10);
        if (what < 6 || model.empty()) {
            const TOffset at = static_cast<TOffset>(random() % (model.size() + 1));
            std::string text;
            for (int n = 1 + static_cast<int>(random() % 12); n > 0; --n)
                text += alphabet[random() % alphabet.size()];
            ed.SetSelection(at, at, false);
            ed.ReplaceSel(text);
            model.insert(static_cast<size_t>(at), text);
            history.push_back(model);
        } else if (what < 8) {
            const TOffset at = static_cast<TOffset>(random() % model.size());
            const TOffset length =
                1 + static_cast<TOffset>(random() % std::min<size_t>(15, model.size() - at));
            ed.SetSelection(at, at + length, false);
            ed.ReplaceSel("");
            model.erase(static_cast<size_t>(at), static_cast<size_t>(length));
            history.push_back(model);
        } else if (history.size() > 1) {
            ed.Perform(EM_UNDO);
            history.pop_back();
            model = history.back();
        }
        if (step % 97 == 0) ed.SetWrapAtColumn(3 + static_cast<int32_t>(random() % 12));
        ExpectWrapped(model);
        if (HasFatalFailure()) {
            ADD_FAILURE() << "after step " << step;
            return;
        }
    }
}

} // namespace

namespace {

TEST_F(WrappedControl, DraggingTheWrapColumnLineRecutsTheText) {
    ed.SetOptions(ed.Options() | smoShowWrapColumn);
    SetText("aaa bbb ccc ddd eee");
    const TCaretMetrics& m = ed.Metrics();
    const int lineX = m.textLeft + 10 * m.charWidth;
    TMouseInput mouse;
    mouse.x = lineX + 1;
    cmd.MouseDown(mouse);
    EXPECT_EQ(ed.WrapDragColumn(), 10);
    mouse.x = m.textLeft + 4 * m.charWidth;
    cmd.MouseMove(mouse);
    EXPECT_EQ(ed.WrapDragColumn(), 4);
    EXPECT_EQ(ed.WrapAtColumn(), 10); // the text is cut when the line is dropped
    cmd.MouseUp(mouse);
    EXPECT_EQ(ed.WrapDragColumn(), -1);
    EXPECT_EQ(ed.WrapAtColumn(), 4);
    EXPECT_EQ(ed.Store().LineCount(), 5);
    EXPECT_EQ(ed.Caret(), 0); // a drag of the line does not move the caret

    // Away from the line a press places the caret as usual.
    mouse.x = m.textLeft + 2 * m.charWidth + 1;
    cmd.MouseDown(mouse);
    cmd.MouseUp(mouse);
    EXPECT_EQ(ed.WrapAtColumn(), 4);
    EXPECT_EQ(ed.Caret(), 2);
}

} // namespace
