// The control's change report: once per outermost batch, held back while
// painting is locked, left for the next batch when one ends by an exception.

#include "editor/TessaryCommands.h"
#include "highlight/ShortCut.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace torvane;
using namespace torvane::editor;

namespace {

intptr_t Str(const char* s) {
    return reinterpret_cast<intptr_t>(s);
}

// What the host and OnChange heard, in order; the host hears first.
struct Heard {
    std::vector<std::string> order;
    std::vector<uint32_t> flags;
};

struct RecordingHost : TessaryHost {
    Heard* heard = nullptr;
    std::optional<std::string> clipboard;
    void Changed(uint32_t) override { heard->order.push_back("host"); }
    std::optional<std::string> ClipboardText() override { return clipboard; }
    void SetClipboardText(std::string_view text) override { clipboard = std::string(text); }
};

class Change : public ::testing::Test {
protected:
    Heard heard;
    RecordingHost host;
    TCustomTessary ed{&host};

    Change() {
        host.heard = &heard;
        ed.Perform(WM_SETTEXT, 0, Str("  abc def"));
        ed.OnChange = [this](uint32_t flags) {
            heard.order.push_back("OnChange");
            heard.flags.push_back(flags);
        };
        heard = {};
    }
    // The reports since the last call.
    std::vector<uint32_t> Take() {
        std::vector<uint32_t> flags = std::move(heard.flags);
        heard = {};
        return flags;
    }
    using Flags = std::vector<uint32_t>;
};

TEST_F(Change, AMessageReportsOnceWhenItReturns) {
    ed.Perform(EM_SETSEL, 2, 5);
    EXPECT_EQ(heard.order, (std::vector<std::string>{"host", "OnChange"}));
    EXPECT_EQ(Take(), Flags{cfCaret | cfSelection});

    ed.Perform(EM_REPLACESEL, 0, Str("x\r"));
    EXPECT_EQ(Take(), Flags{cfText | cfCaret | cfSelection});
    ed.Perform(TEM_OPTIONS, kSet, static_cast<intptr_t>(ed.Options() ^ smoWordSelect));
    EXPECT_EQ(Take(), Flags{cfOptions});

    // Queries and a selection set to what it is change nothing.
    int32_t anchor = 0, caret = 0;
    ed.Perform(EM_GETSEL, reinterpret_cast<uintptr_t>(&anchor), reinterpret_cast<intptr_t>(&caret));
    ed.Perform(EM_SETSEL, static_cast<uintptr_t>(caret), caret);
    EXPECT_EQ(Take(), Flags{});
}

TEST_F(Change, TheReportComesWhenTheUndoLogHasTheStep) {
    // The application sets its undo and redo commands from the report.
    std::vector<std::pair<bool, bool>> undoRedo;
    ed.OnChange = [&](uint32_t) { undoRedo.emplace_back(ed.CanUndo(), ed.CanRedo()); };
    ed.ReplaceSel("mov ");
    ed.Perform(EM_UNDO);
    ed.SetSelText("nop");
    ed.Perform(EM_UNDO);
    ed.Perform(TEM_REDO);
    const std::vector<std::pair<bool, bool>> expected = {
        {true, false}, {false, true}, {true, false}, {false, true}, {true, false}};
    EXPECT_EQ(undoRedo, expected);
}

TEST_F(Change, TypedOperationsReportOnTheirOwn) {
    ed.SetInsertMode(false);
    EXPECT_EQ(Take(), Flags{cfInsertMode});
    TCaretMetrics metrics = ed.Metrics();
    metrics.charWidth += 1;
    ed.SetMetrics(metrics);
    ed.SetMetrics(metrics); // the same again: nothing
    EXPECT_EQ(Take(), Flags{cfFont});

    ed.SetSelection(2, 5, true);
    ASSERT_TRUE(ed.Cut());
    EXPECT_EQ(Take(), (Flags{cfCaret | cfSelection, cfText | cfCaret | cfSelection}));
    ASSERT_TRUE(ed.Paste());
    ed.Undo();
    ASSERT_EQ(Take().size(), 2u);
}

TEST_F(Change, NestedBatchesReportOnceAtTheOutermostEnd) {
    {
        TCustomTessary::Batch outer(ed);
        ed.SetSelection(9, 9, true);
        ed.Perform(EM_REPLACESEL, 0, Str("\r"));
        {
            TCustomTessary::Batch inner(ed);
            ed.SetInsertMode(false);
        }
        EXPECT_EQ(Take(), Flags{});
    }
    EXPECT_EQ(Take(), Flags{cfText | cfCaret | cfSelection | cfInsertMode});
}

TEST_F(Change, LockedPaintingHoldsTheReportBack) {
    ed.Perform(TEM_PAINTLOCK, kSet, 1);
    ed.Perform(TEM_PAINTLOCK, kSet, 1);
    ed.Perform(EM_REPLACESEL, 0, Str("x"));
    ed.SetInsertMode(false);
    ed.Perform(TEM_PAINTLOCK, kSet, 0); // still locked once
    EXPECT_EQ(Take(), Flags{});
    ed.Perform(TEM_PAINTLOCK, kSet, 0);
    EXPECT_EQ(Take(), Flags{cfText | cfCaret | cfSelection | cfInsertMode});

    {
        TCustomTessary::PaintLock lock(ed);
        ed.ReplaceSel("y");
        EXPECT_EQ(Take(), Flags{});
    }
    EXPECT_EQ(Take(), Flags{cfText | cfCaret | cfSelection});
}

TEST_F(Change, ABatchLeftByAnExceptionLeavesItsFlagsToTheNextOne) {
    try {
        TCustomTessary::Batch batch(ed);
        ed.ReplaceSel("x");
        throw std::runtime_error("failed half way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Take(), Flags{});
    EXPECT_FALSE(ed.InBatch());
    ed.Perform(EM_GETSEL); // any next batch, a query too
    EXPECT_EQ(Take(), Flags{cfText | cfCaret | cfSelection});

    // A handler that fails passes its failure on; the report is not repeated.
    ed.OnChange = [](uint32_t) { throw std::runtime_error("handler"); };
    EXPECT_THROW(ed.SetInsertMode(false), std::runtime_error);
    EXPECT_FALSE(ed.InBatch());
    ed.OnChange = [this](uint32_t flags) { heard.flags.push_back(flags); };
    ed.Perform(EM_GETSEL);
    EXPECT_EQ(Take(), Flags{});
}

TEST_F(Change, CommandsReportOncePerKey) {
    TTessaryCommands cmd(ed);
    ed.SetOptions(ed.Options() | smoAutoIndent);
    ed.SetSelection(9, 9, true);
    Take();
    // RETURN with its indentation is several changes, one report.
    cmd.KeyPress('\r');
    EXPECT_EQ(Take(), Flags{cfText | cfCaret | cfSelection});
    EXPECT_EQ(ed.Store().Text(), "  abc def\r  ");
    EXPECT_TRUE(cmd.KeyDown(ShortCut(vk::Home, kscCtrl)));
    EXPECT_EQ(Take(), Flags{cfCaret | cfSelection});
    EXPECT_TRUE(cmd.KeyDown(ShortCut(vk::Home, kscCtrl))); // already there
    EXPECT_FALSE(cmd.KeyDown(ShortCut(vk::F12, kscAlt)));  // no command
    EXPECT_EQ(Take(), Flags{});
    // A message the commands take is reported by the control.
    ed.SetSelection(0, 12, true);
    Take();
    ed.Perform(TEM_BLOCKINDENT, 0, 0);
    EXPECT_EQ(Take(), Flags{cfText | cfCaret | cfSelection});
}

TEST_F(Change, ChangesMadeByAnotherControlWaitForTheNextBatch) {
    TCustomTessary other;
    other.SetStore(ed.SharedStore());
    std::vector<TOffset> pieces;
    ed.OnTextChange = [&](const TTextChange& change) { pieces.push_back(change.start); };
    other.SetSelection(5, 5, true);
    other.ReplaceSel("!");
    EXPECT_EQ(pieces, std::vector<TOffset>{5});
    EXPECT_EQ(Take(), Flags{});
    ed.Perform(EM_GETSEL);
    EXPECT_EQ(Take(), Flags{cfText});
}

} // namespace
