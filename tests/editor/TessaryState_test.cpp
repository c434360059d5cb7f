// The control as the one owner of its state: read-only refusal, paste of
// nothing, horizontal scrolling in display columns, store switching and the
// typed undo query, bookmarks of a shared store.

#include "editor/Bookmarks.h"
#include "editor/Painter.h"
#include "editor/Tessary.h"
#include "editor/TessaryCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

using namespace torvane;
using namespace torvane::editor;

namespace {

struct ClipboardHost : TessaryHost {
    std::optional<std::string> clipboard;
    int changes = 0, storeChanges = 0;
    int32_t scrollWidth = 0;
    std::optional<std::string> ClipboardText() override { return clipboard; }
    void SetClipboardText(std::string_view t) override { clipboard = std::string(t); }
    void Changed(uint32_t) override { ++changes; }
    void StoreChanged() override { ++storeChanges; }
    void ScrollRangesChanged(TLineIndex, int32_t width) override { scrollWidth = width; }
};

struct RepaintHost : TessaryHost {
    std::vector<TLineIndex> repainted;
    void InvalidateLines(TLineIndex first, TLineIndex) override { repainted.push_back(first); }
};

uint16_t BookmarkBits(const TTextStore& store, TLineIndex line) {
    return store.Node(line).marks & kMarkBookmarkMask;
}

intptr_t Str(const char* s) {
    return reinterpret_cast<intptr_t>(s);
}

} // namespace

TEST(TessaryState, ReadOnlyRefusesEveryChangeButCopies) {
    ClipboardHost host;
    TCustomTessary ed(&host);
    ed.Perform(WM_SETTEXT, 0, Str("mov a,#1"));
    ed.SetSelection(0, 3, false);
    ed.SetReadOnly(true);
    host.clipboard = "xyz";
    ed.Perform(WM_CUT);
    ed.Perform(WM_PASTE);
    ed.Perform(WM_CLEAR);
    ed.Perform(EM_REPLACESEL, 0, Str("q"));
    ed.Perform(TEM_REPLACESEL, 0, Str("q"));
    TMemoryStream in;
    in.WriteBuffer("zz", 2);
    in.SetPosition(0);
    ed.Perform(TEM_INSERTSTREAM, 0, reinterpret_cast<intptr_t>(&in));
    EXPECT_EQ(ed.Store().Text(), "mov a,#1");
    EXPECT_FALSE(ed.Modified());
    EXPECT_FALSE(ed.Perform(EM_CANPASTE));
    EXPECT_EQ(ed.Perform(WM_COPY), 1);
    EXPECT_EQ(host.clipboard, "mov");
}

TEST(TessaryState, PastingNothingKeepsTheDocumentAndItsRedoSteps) {
    ClipboardHost host;
    TCustomTessary ed(&host);
    ed.Perform(WM_SETTEXT, 0, Str("ab"));
    ed.SetSelection(2, 2, false);
    ed.Perform(EM_REPLACESEL, 0, Str("c"));
    ed.Undo();
    ASSERT_TRUE(ed.CanRedo());
    for (std::optional<std::string> clip : {std::optional<std::string>(), std::optional<std::string>("")}) {
        host.clipboard = clip;
        EXPECT_FALSE(ed.Perform(EM_CANPASTE));
        EXPECT_EQ(ed.Perform(WM_PASTE), 0);
        EXPECT_TRUE(ed.CanRedo());
        EXPECT_FALSE(ed.Modified());
    }
}

TEST(TessaryState, HorizontalScrollCountsDisplayColumns) {
    ClipboardHost host;
    TCustomTessary ed(&host);
    ed.SetClientSize(ed.Metrics().textLeft + 40 * ed.Metrics().charWidth, 10 * ed.Metrics().rowHeight);
    ed.Perform(WM_SETTEXT, 0, Str("x\r\t\t\t\t\t\t\t\t\t\t\t\tend"));
    ed.SetSelection(ed.Store().TextLength(), ed.Store().TextLength(), true); // Ctrl+End
    const int32_t caretColumn = ed.CaretColumn();
    EXPECT_GT(caretColumn, 40);
    EXPECT_LE(ed.LeftColumn(), caretColumn);
    EXPECT_GT(ed.LeftColumn() + 40, caretColumn);
    // The scroll range reaches the caret, so the bar can get there too.
    EXPECT_GE(host.scrollWidth, caretColumn + 1);
    EXPECT_GE(ed.ScrollWidth() - 40, ed.LeftColumn());
}

TEST(TessaryState, SwitchingTheStoreTellsTheViewAndSharesBookmarks) {
    ClipboardHost host;
    TCustomTessary a(&host), b;
    a.Perform(WM_SETTEXT, 0, Str("one\rtwo"));
    std::shared_ptr<TTextStore> shared = a.SharedStore();
    b.Perform(TEM_TEXTSTORE, 1, reinterpret_cast<intptr_t>(&shared));
    EXPECT_EQ(&b.Store(), &a.Store());
    const int before = host.storeChanges;
    std::shared_ptr<TTextStore> fresh = std::make_shared<TTextStore>();
    a.Perform(TEM_TEXTSTORE, 1, reinterpret_cast<intptr_t>(&fresh));
    EXPECT_EQ(host.storeChanges, before + 1);
    EXPECT_EQ(&a.Store(), fresh.get());
}

TEST(TessaryState, NextUndoStepNamesTheGroupAndMergesTyping) {
    TCustomTessary ed;
    ed.Perform(WM_SETTEXT, 0, Str(""));
    EXPECT_EQ(ed.NextUndoStep(true).kind, 0);
    for (const char* c : {"a", "b"}) {
        TCustomTessary::UndoGroup group(ed, ugTyping);
        ed.ReplaceSel(c);
    }
    EXPECT_EQ(ed.NextUndoStep(true).kind, ugTyping);
    EXPECT_EQ(ed.UndoStepMerged(), ugTyping);
    EXPECT_EQ(ed.Store().Text(), "");
    EXPECT_EQ(ed.NextRedoStep(true).kind, ugTyping);
    EXPECT_EQ(ed.RedoStepMerged(), ugTyping);
    EXPECT_EQ(ed.Store().Text(), "ab");
}

TEST(TessaryState, PainterFollowsTheControlsOptionsAndGutterGrowsWithLineNumbers) {
    TCustomTessary ed;
    TStyleTable styles;
    TAppearance look;
    look.options = smoShowGutter | smoLineNumbers;
    TPainter painter(ed.Store(), ed.Tabs(), styles, look);
    painter.BindControl(&ed);
    ed.SetOptions(0);
    EXPECT_EQ(painter.GutterWidth(), 0);
    ed.SetOptions(smoShowGutter | smoLineNumbers);
    const int small = painter.GutterWidth();
    std::string text(5'460'309, '\r');
    ed.Store().SetText(text);
    ASSERT_EQ(ed.Store().LineCount(), 5'460'310);
    EXPECT_GE(painter.GutterWidth(), 2 + 7 * painter.Metrics().gutterDigitWidth + 4);
    EXPECT_GT(painter.GutterWidth(), small);
}

TEST(TessaryState, ControlsSharingAStoreShareItsBookmarks) {
    RepaintHost hostA, hostB;
    TCustomTessary a(&hostA), b(&hostB);
    b.SetStore(a.SharedStore());
    TTessaryCommands ca(a), cb(b);
    TTextStore& store = a.Store();
    store.SetText("zero\rone\rtwo\rthree\rfour");

    a.SetSelection(store.LineStart(1) + 2, store.LineStart(1) + 2, false);
    ca.ExecuteCommand(acSetBookmark0 + 1, false);
    b.SetSelection(store.LineStart(3), store.LineStart(3), false);
    hostA.repainted.clear();
    cb.ExecuteCommand(acSetBookmark0 + 2, false);
    // The other control repaints the gutter of the line that got the mark.
    EXPECT_NE(std::find(hostA.repainted.begin(), hostA.repainted.end(), 3), hostA.repainted.end());

    // Typing in one control keeps the other one's mark, on its own line.
    cb.KeyPress('x');
    ca.KeyPress('\r');
    EXPECT_EQ(store.Text(), "zero\ron\re\rtwo\rxthree\rfour");
    EXPECT_EQ(BookmarkBits(store, 1), 1u << 1);
    EXPECT_EQ(BookmarkBits(store, 4), 1u << 2);
    EXPECT_EQ(BookmarkBits(store, 2) | BookmarkBits(store, 3), 0);

    // Each control goes to the bookmark the other set.
    cb.ExecuteCommand(acGotoBookmark0 + 1, false);
    EXPECT_EQ(b.Caret(), store.LineStart(1) + 2);
    ca.ExecuteCommand(acGotoBookmark0 + 2, false);
    EXPECT_EQ(a.Caret(), store.LineStart(4));
    // Setting bookmark 1 elsewhere from the other control moves it, so a
    // number never marks two lines.
    b.SetSelection(0, 0, false);
    cb.ExecuteCommand(acSetBookmark0 + 1, false);
    EXPECT_EQ(BookmarkBits(store, 1), 0);
    EXPECT_EQ(BookmarkBits(store, 0), 1u << 1);

    // A control switched to another text leaves these behind and finds them
    // again when it comes back.
    auto shared = a.SharedStore();
    a.SetStore(nullptr);
    EXPECT_EQ(a.Store().Bookmarks().LineOf(1), -1);
    a.SetStore(shared);
    EXPECT_EQ(a.Store().Bookmarks().LineOf(1), 0);
}
