// Drag and drop of the editor control without a window: the host runs the
// drag by delivering drag events back to the control, as a window would.

#include "editor/Tessary.h"
#include "editor/TessaryCommands.h"

#include <gtest/gtest.h>

#include <functional>

using namespace torvane;
using namespace torvane::editor;

namespace {

struct DragHost : TessaryHost {
    // What the drag does once it runs; by default nothing is dropped.
    std::function<TDropEffect(const TClipboardData&)> onDrag;
    std::optional<TClipboardData> dragged;
    int focusTaken = 0;
    TDropEffect DoDragDrop(const TClipboardData& data, TDropEffects) override {
        dragged = data;
        return onDrag ? onDrag(data) : deNone;
    }
    void TakeFocus() override { ++focusTaken; }
};

class DragDrop : public ::testing::Test {
protected:
    DragHost host;
    TCustomTessary ed{&host};
    TTessaryCommands cmd{ed};

    DragDrop() {
        ed.SetClientSize(400, 180);
        ed.SetOptions(ed.Options() | smoOLEDragSource);
    }
    void SetText(const char* text) { ed.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text)); }
    std::string Text() const { return ed.Store().Text(); }
    // The middle of the left edge of an offset's cell: the drop lands there.
    std::pair<int, int> At(TOffset offset) const {
        int x = 0, y = 0;
        EXPECT_TRUE(ed.Geometry().PointOfOffset(offset, &x, &y));
        return {x + 1, y + ed.Metrics().rowHeight / 2};
    }
    static TDragOffer TextOffer(bool copyKey = false) {
        TDragOffer offer;
        offer.text = true;
        offer.copyKey = copyKey;
        return offer;
    }
    // Selects [start, end) and drags it onto offset, as the window would.
    TDropEffect DragTo(TOffset start, TOffset end, TOffset to, bool copyKey = false) {
        ed.SetSelection(start, end, true);
        host.onDrag = [&](const TClipboardData& data) {
            const auto [x, y] = At(to);
            ed.DragOver(x, y, TextOffer(copyKey));
            return ed.Drop(TDropData{data.text, std::nullopt, {}}, x, y, TextOffer(copyKey));
        };
        return ed.DragSelection();
    }
};

} // namespace

TEST_F(DragDrop, MoveWithinTheControlIsOneUndoStepCorrectedAfterTheSelection) {
    struct Case {
        const char* text;
        TOffset start, end, to;
        const char* moved;
    } cases[] = {
        // A word two lines down: the drop offset lies after the selection.
        {"mov a,#1\rinc r0\rdjnz r7,x\r", 0, 3, 21, " a,#1\rinc r0\rdjnz movr7,x\r"},
        // Before the selection nothing is corrected.
        {"mov a,#1\rinc r0\rdjnz r7,x\r", 13, 15, 4, "mov r0a,#1\rinc \rdjnz r7,x\r"},
        // Lines with their breaks, dropped after them: the removed CRs count.
        {"one\rtwo\rthree\rfour", 0, 8, 14, "three\rone\rtwo\rfour"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SetText(c.text);
        EXPECT_EQ(DragTo(c.start, c.end, c.to), deMove);
        EXPECT_EQ(Text(), c.moved);
        EXPECT_EQ(ed.NextUndoStep(false).kind, ugDragDrop);
        ed.Undo();
        EXPECT_EQ(Text(), c.text);
        // Undo gives the dragged selection back.
        EXPECT_EQ(ed.SelStart(), c.start);
        EXPECT_EQ(ed.SelEnd(), c.end);
        EXPECT_FALSE(ed.CanUndo());
    }
}

TEST_F(DragDrop, DropOntoTheDraggedSelectionChangesNothing) {
    SetText("alpha beta gamma");
    // Inside, and for a move also at either end: nothing would change.
    for (TOffset to : {7, 6, 10}) {
        EXPECT_EQ(DragTo(6, 10, to), deNone) << to;
        EXPECT_EQ(Text(), "alpha beta gamma");
        EXPECT_FALSE(ed.CanUndo());
    }
    // A copy inside is refused too; at the end it puts the text beside itself.
    EXPECT_EQ(DragTo(6, 10, 8, true), deNone);
    EXPECT_EQ(DragTo(6, 10, 10, true), deCopy);
    EXPECT_EQ(Text(), "alpha betabeta gamma");
}

TEST_F(DragDrop, CopyKeepsTheSelectionWhereItWasInOneUndoStep) {
    SetText("nop\rret\r");
    EXPECT_EQ(DragTo(0, 3, 7, true), deCopy);
    EXPECT_EQ(Text(), "nop\rretnop\r");
    EXPECT_EQ(ed.Caret(), 10);
    ed.Undo();
    EXPECT_EQ(Text(), "nop\rret\r");
    EXPECT_FALSE(ed.CanUndo());
}

TEST_F(DragDrop, ForeignDropsAreCopiesAndReadOnlyTakesNothing) {
    SetText("ab\rcd");
    const auto [x, y] = At(4);
    // Another program's drag is taken as a copy when it allows one.
    EXPECT_EQ(ed.Drop(TDropData{"X\r\nY", std::nullopt, {}}, x, y, TextOffer()), deCopy);
    EXPECT_EQ(Text(), "ab\rcX\rYd");
    // HTML without text is trimmed as a paste trims it.
    ed.SetSelection(0, 0, false);
    const TDropData html{std::nullopt, "junk<b>x</b>", {}};
    EXPECT_EQ(ed.Drop(html, 2, 2, TextOffer()), deCopy);
    EXPECT_EQ(Text(), "<b>x</b>ab\rcX\rYd");

    ed.SetReadOnly(true);
    EXPECT_EQ(ed.DragOver(x, y, TextOffer()), deNone);
    EXPECT_EQ(ed.DropOffset(), -1);
    EXPECT_EQ(ed.Drop(TDropData{"Z", std::nullopt, {}}, x, y, TextOffer()), deNone);
    EXPECT_EQ(Text(), "<b>x</b>ab\rcX\rYd");
}

TEST_F(DragDrop, DragOverShowsTheDropOffsetAsTheCaretWithoutTouchingTheSelection) {
    SetText("abc\rdef");
    ed.SetSelection(0, 2, false);
    auto [x, y] = At(5);
    EXPECT_EQ(ed.DragOver(x, y, TextOffer()), deCopy);
    EXPECT_EQ(ed.DropOffset(), 5);
    EXPECT_EQ(ed.ViewState().dropCaret, 5);
    EXPECT_EQ(ed.SelEnd(), 2);
    // Over the gutter and margin: the start of the line under the pointer.
    EXPECT_EQ(ed.DragOver(0, y, TextOffer()), deCopy);
    EXPECT_EQ(ed.DropOffset(), 4);
    // The handler may refuse.
    ed.OnOLEDragOver = [](TCustomTessary&, TCustomTessary::TPoint, TDropEffect& effect) { effect = deNone; };
    EXPECT_EQ(ed.DragOver(x, y, TextOffer()), deNone);
    EXPECT_EQ(ed.DropOffset(), -1);
    ed.OnOLEDragOver = nullptr;
    ed.DragOver(x, y, TextOffer());
    ed.DragLeave();
    EXPECT_EQ(ed.ViewState().dropCaret, -1);

    // At the bottom edge the text scrolls so lines below can be reached.
    SetText("1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r11\r12\r13");
    ed.DragOver(x, ed.ClientHeight() - 1, TextOffer());
    EXPECT_EQ(ed.TopLine(), 1);
    ed.DragOver(x, 0, TextOffer());
    EXPECT_EQ(ed.TopLine(), 0);
}

TEST_F(DragDrop, FileListsGoToTheHandlerAndAreNeverMoved) {
    SetText("text");
    std::vector<std::string> seen;
    TCustomTessary::TPoint seenAt{};
    ed.OnFilesDropped = [&](TCustomTessary&, const std::vector<std::string>& files,
                            TCustomTessary::TPoint at) {
        seen = files;
        seenAt = at;
    };
    TDragOffer files;
    files.text = files.files = true;
    const TDropData data{"file:///a.asm", std::nullopt, {"/a.asm", "/b.inc"}};

    // Without the option the file list is ignored and the text goes in.
    ed.SetOptions(ed.Options() & ~smoProcessDroppedFiles);
    EXPECT_EQ(ed.Drop(data, 2, 2, files), deCopy);
    EXPECT_TRUE(seen.empty());
    ed.Undo();

    ed.SetOptions(ed.Options() | smoProcessDroppedFiles);
    EXPECT_EQ(ed.DragOver(20, 5, files), deCopy);
    files.allowed = deMove; // a copy is the only effect a file drop reports
    EXPECT_EQ(ed.DragOver(20, 5, files), deNone);
    files.allowed = deCopy | deMove;
    EXPECT_EQ(ed.Drop(data, 20, 5, files), deCopy);
    EXPECT_EQ(seen, (std::vector<std::string>{"/a.asm", "/b.inc"}));
    EXPECT_EQ(seenAt, (TCustomTessary::TPoint{20, 5}));
    EXPECT_EQ(Text(), "text");
    EXPECT_EQ(host.focusTaken, 1);

    // OnDataDrop may ask for the text as well.
    ed.OnDataDrop = [](TCustomTessary&, TSourceTypes& sources) { sources |= stText; };
    ed.Drop(data, 2, 2, files);
    EXPECT_EQ(Text(), "file:///a.asmtext");
}

TEST_F(DragDrop, APressInsideTheSelectionStartsADragOnlyPastTheDragDistance) {
    SetText("label: mov a,b");
    cmd.SetDragDistance(5);
    int64_t now = 0;
    cmd.Clock = [&] { return now += 10000; }; // no double clicks
    ed.SetSelection(7, 10, true);
    const auto [x, y] = At(8);
    TMouseInput m;
    m.x = x;
    m.y = y;
    cmd.MouseDown(m);
    m.x += 2;
    cmd.MouseMove(m);
    EXPECT_FALSE(host.dragged);
    EXPECT_EQ(ed.SelEnd(), 10); // the selection waits for the drag
    m.x += 4;
    cmd.MouseMove(m);
    ASSERT_TRUE(host.dragged);
    EXPECT_EQ(host.dragged->text, "mov");
    EXPECT_FALSE(ed.DragSourceActive());

    // A click inside the selection that never moves puts the caret there.
    host.dragged.reset();
    m.x = x;
    cmd.MouseDown(m);
    cmd.MouseUp(m);
    EXPECT_FALSE(host.dragged);
    EXPECT_EQ(ed.SelStart(), ed.SelEnd());
    EXPECT_EQ(ed.Caret(), 8);

    // Without the option the press places the caret and the move selects.
    ed.SetOptions(ed.Options() & ~smoOLEDragSource);
    ed.SetSelection(7, 10, true);
    cmd.MouseDown(m);
    m.x += 20;
    cmd.MouseMove(m);
    cmd.MouseUp(m);
    EXPECT_FALSE(host.dragged);
    EXPECT_EQ(ed.SelStart(), 8);
}
