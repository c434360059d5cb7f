#include "common/Exceptions.h"
#include "editor/Tessary.h"
#include "editor/TessaryStrings.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace torvane;
using namespace torvane::editor;

namespace {

struct RecordingHost : TessaryHost {
    int beeps = 0, changes = 0, invalidations = 0;
    std::optional<std::string> clipboard;
    TLineIndex top = 0;
    void InvalidateLines(TLineIndex, TLineIndex) override { ++invalidations; }
    void InvalidateAll() override { ++invalidations; }
    void ScrollPositionChanged(TLineIndex t, int32_t) override { top = t; }
    void Beep() override { ++beeps; }
    void Changed(uint32_t) override { ++changes; }
    std::optional<std::string> ClipboardText() override { return clipboard; }
    void SetClipboardText(std::string_view t) override { clipboard = std::string(t); }
};

intptr_t Str(const char* s) {
    return reinterpret_cast<intptr_t>(s);
}

} // namespace

TEST(Tessary, SelectionMessagesClampAndSelectAll) {
    TCustomTessary ed;
    ed.Perform(WM_SETTEXT, 0, Str("mov a,#1\r\nret"));
    ed.Perform(EM_SETSEL, 0, -1);
    EXPECT_EQ(ed.SelStart(), 0);
    EXPECT_EQ(ed.SelEnd(), 12);
    ed.Perform(EM_SETSEL, 4, 999);
    int32_t anchor = -5, caret = -5;
    ed.Perform(EM_GETSEL, reinterpret_cast<uintptr_t>(&anchor), reinterpret_cast<intptr_t>(&caret));
    EXPECT_EQ(anchor, 4);
    EXPECT_EQ(caret, 12);
    int32_t pair[2] = {-1, 0};
    ed.Perform(TEM_SELECTION, kSet, reinterpret_cast<intptr_t>(pair));
    EXPECT_EQ(ed.SelText(), "mov a,#1\r\nret"); // plain text in the line style
    pair[0] = 7;
    pair[1] = 2;
    ed.Perform(TEM_SELECTION, kSet, reinterpret_cast<intptr_t>(pair));
    int32_t got[2] = {};
    ed.Perform(TEM_SELECTION, 0, reinterpret_cast<intptr_t>(got));
    EXPECT_EQ(got[0], 7);
    EXPECT_EQ(got[1], 2);
}

TEST(Tessary, LineMessages) {
    TCustomTessary ed;
    ed.Perform(WM_SETTEXT, 0, Str("first\nsecond line\n"));
    EXPECT_EQ(ed.Perform(EM_GETLINECOUNT), 3);
    EXPECT_EQ(ed.Perform(EM_LINEINDEX, 1), 6);
    EXPECT_EQ(ed.Perform(EM_LINEINDEX, 3), -1);
    EXPECT_EQ(ed.Perform(EM_LINELENGTH, 8), 11);
    EXPECT_EQ(ed.Perform(EM_LINEFROMCHAR, 8), 1);
    EXPECT_EQ(ed.Perform(WM_GETTEXTLENGTH), 18);
    char buf[16] = {};
    const uint16_t size = 3;
    std::memcpy(buf, &size, sizeof size);
    EXPECT_EQ(ed.Perform(EM_GETLINE, 1, reinterpret_cast<intptr_t>(buf)), 3);
    EXPECT_EQ(std::string(buf, 3), "sec");
    TCustomTessary empty;
    EXPECT_EQ(empty.Perform(EM_GETLINECOUNT), 1);
}

TEST(Tessary, GetTextFollowsTheLineStyleAndTheBufferSize) {
    TCustomTessary ed;
    ed.Perform(WM_SETTEXT, 0, Str("a\nb"));
    char buf[16];
    EXPECT_EQ(ed.Perform(WM_GETTEXT, sizeof buf, reinterpret_cast<intptr_t>(buf)), 4);
    EXPECT_STREQ(buf, "a\r\nb");
    ed.Store().SetLineStyle(lsLF);
    EXPECT_EQ(ed.Perform(WM_GETTEXT, sizeof buf, reinterpret_cast<intptr_t>(buf)), 3);
    EXPECT_STREQ(buf, "a\rb");
    EXPECT_EQ(ed.Perform(WM_GETTEXT, 2, reinterpret_cast<intptr_t>(buf)), 1);
    EXPECT_STREQ(buf, "a");
}

TEST(Tessary, ReplaceUndoRedoAndModified) {
    RecordingHost host;
    TCustomTessary ed(&host);
    ed.Perform(WM_SETTEXT, 0, Str("nop\nret"));
    EXPECT_FALSE(ed.Perform(EM_GETMODIFY));
    ed.Perform(EM_SETSEL, 0, 3);
    ed.Perform(EM_REPLACESEL, 0, Str("mov a,b"));
    EXPECT_EQ(ed.Store().Text(), "mov a,b\rret");
    EXPECT_EQ(ed.Caret(), 7);
    EXPECT_TRUE(ed.Perform(EM_GETMODIFY));
    EXPECT_TRUE(ed.Perform(EM_CANUNDO));
    ed.Perform(EM_UNDO);
    EXPECT_EQ(ed.Store().Text(), "nop\rret");
    EXPECT_EQ(ed.SelStart(), 0);
    EXPECT_EQ(ed.SelEnd(), 3);
    EXPECT_FALSE(ed.Perform(EM_GETMODIFY));
    EXPECT_TRUE(ed.Perform(TEM_CANREDO));
    ed.Perform(TEM_REDO);
    EXPECT_EQ(ed.Store().Text(), "mov a,b\rret");
    ed.Perform(TEM_MODIFIED, kSet, 0);
    EXPECT_FALSE(ed.Perform(EM_CANUNDO));
    EXPECT_EQ(host.beeps, 0);
    EXPECT_GT(host.changes, 0);
}

TEST(Tessary, ClipboardCutAndPasteAreUndoSteps) {
    RecordingHost host;
    TCustomTessary ed(&host);
    ed.Perform(WM_SETTEXT, 0, Str("one\ntwo"));
    ed.Perform(EM_SETSEL, 0, 4);
    ed.Perform(WM_CUT);
    EXPECT_EQ(host.clipboard, "one\r\n");
    EXPECT_EQ(ed.Store().Text(), "two");
    ed.Perform(EM_SETSEL, 3, 3);
    ed.Perform(WM_PASTE);
    EXPECT_EQ(ed.Store().Text(), "twoone\r");
    EXPECT_TRUE(ed.Perform(EM_CANPASTE));
    ed.Perform(EM_UNDO);
    ed.Perform(EM_UNDO);
    EXPECT_EQ(ed.Store().Text(), "one\rtwo");
}

TEST(Tessary, InsertStreamIsRecordedAndRedoneFromTheStream) {
    TCustomTessary ed;
    ed.Perform(WM_SETTEXT, 0, Str("end"));
    TMemoryStream in(std::vector<uint8_t>{'a', '\r', '\n', 'b', '\r', '\n'});
    ed.Perform(TEM_INSERTSTREAM, 0, reinterpret_cast<intptr_t>(&in));
    EXPECT_EQ(ed.Store().Text(), "a\rb\rend");
    ed.Perform(EM_UNDO);
    EXPECT_EQ(ed.Store().Text(), "end");
    ed.Perform(TEM_REDO);
    EXPECT_EQ(ed.Store().Text(), "a\rb\rend");
}

TEST(Tessary, WriteAndCopySelectionWithLineEnds) {
    TCustomTessary ed;
    ed.Perform(WM_SETTEXT, 0, Str("a\nb\nc"));
    ed.Perform(EM_SETSEL, 0, 4);
    EXPECT_EQ(ed.Perform(TEM_COPYSELECTION, kCopyCRLF, 0), 6);
    char buf[8];
    EXPECT_EQ(ed.Perform(TEM_COPYSELECTION, kCopyLF, reinterpret_cast<intptr_t>(buf)), 4);
    EXPECT_STREQ(buf, "a\nb\n");
    TMemoryStream out;
    EXPECT_EQ(ed.Perform(TEM_WRITESELECTION, 0, reinterpret_cast<intptr_t>(&out)), 4);
    EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), "a\rb\r");
}

TEST(Tessary, TokenBytesRoundTrip) {
    TCustomTessary ed;
    ed.Perform(WM_SETTEXT, 0, Str("ab\ncd"));
    const uint8_t tokens[] = {1, 2, 3, 4, 5};
    ed.Perform(TEM_SETTOKENS, 0, reinterpret_cast<intptr_t>(tokens));
    uint8_t got[5] = {};
    const int32_t second[2] = {1, 1};
    EXPECT_EQ(ed.Perform(TEM_GETTOKENS, reinterpret_cast<uintptr_t>(second), reinterpret_cast<intptr_t>(got)),
              2);
    EXPECT_EQ(got[0], 4);
    EXPECT_EQ(got[1], 5);
}

TEST(Tessary, SharedStoreKeepsEachSelectionOnItsText) {
    TCustomTessary a, b;
    auto shared = a.SharedStore();
    b.Perform(TEM_TEXTSTORE, 1, reinterpret_cast<intptr_t>(&shared));
    a.Perform(WM_SETTEXT, 0, Str("hello world"));
    b.Perform(EM_SETSEL, 6, 11);
    a.Perform(EM_SETSEL, 0, 0);
    a.Perform(EM_REPLACESEL, 0, Str(">> "));
    EXPECT_EQ(b.SelText(), "world");
    std::shared_ptr<TTextStore> got;
    b.Perform(TEM_TEXTSTORE, 0, reinterpret_cast<intptr_t>(&got));
    EXPECT_EQ(got.get(), &a.Store());
}

TEST(Tessary, DetachedLogStopsRecordingWithoutLosingText) {
    TCustomTessary ed;
    ed.Perform(TEM_UNDOLOG, kSet, 0);
    ed.Perform(EM_REPLACESEL, 0, Str("kept"));
    EXPECT_EQ(ed.Store().Text(), "kept");
    EXPECT_FALSE(ed.Perform(EM_CANUNDO));
    EXPECT_EQ(ed.Perform(TEM_UNDOLOG), 0);
}

TEST(Tessary, PaintLockHoldsBackNotifications) {
    RecordingHost host;
    TCustomTessary ed(&host);
    ed.Perform(TEM_PAINTLOCK, kSet, 1);
    const int before = host.invalidations + host.changes;
    ed.Perform(EM_REPLACESEL, 0, Str("x\ny\nz"));
    EXPECT_EQ(host.invalidations + host.changes, before);
    EXPECT_TRUE(ed.Perform(TEM_PAINTLOCK));
    ed.Perform(TEM_PAINTLOCK, kSet, 0);
    EXPECT_GT(host.invalidations + host.changes, before);
}

TEST(Tessary, CaretIsScrolledIntoView) {
    RecordingHost host;
    TCustomTessary ed(&host);
    ed.SetClientSize(400, 10 * ed.Metrics().rowHeight);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line\n";
    ed.Perform(WM_SETTEXT, 0, Str(text.c_str()));
    ed.Perform(EM_SETSEL, 50 * 5, 50 * 5);
    EXPECT_EQ(ed.Perform(EM_GETFIRSTVISIBLELINE), 41);
    EXPECT_EQ(host.top, 41);
    ed.Perform(EM_SETSEL, 0, 0);
    EXPECT_EQ(ed.TopLine(), 0);
}

TEST(Tessary, VersionAndDialogCode) {
    TCustomTessary ed;
    EXPECT_STREQ(reinterpret_cast<const char*>(ed.Perform(TEM_VERSION)), "<TTessary>:3.00.36");
    EXPECT_EQ(ed.Perform(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB);
    EXPECT_THROW(ed.SetTabDefault(0), ETessary);
}

// ---- the Lines view ------------------------------------------------------------------

TEST(TessaryStrings, OneEmptyLineCountsAsNone) {
    TCustomTessary ed;
    TTessaryStrings lines(ed);
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(lines.Get(0), "");
}

TEST(TessaryStrings, PutInsertDelete) {
    TCustomTessary ed;
    TTessaryStrings lines(ed);
    lines.SetText("a\r\nb\r\nc");
    lines.Put(1, "B");
    EXPECT_EQ(lines.Text(), "a\r\nB\r\nc");
    lines.Insert(0, "top");
    EXPECT_EQ(lines.Text(), "top\r\na\r\nB\r\nc");
    lines.Add("end");
    EXPECT_EQ(lines.Text(), "top\r\na\r\nB\r\nc\r\nend");
    lines.Delete(4); // the last line: its text goes, the break before it stays
    EXPECT_EQ(lines.Text(), "top\r\na\r\nB\r\nc\r\n");
    lines.Delete(0);
    EXPECT_EQ(lines.Text(), "a\r\nB\r\nc\r\n");
    lines.Add("z"); // the last line is empty: no extra break
    EXPECT_EQ(lines.Text(), "a\r\nB\r\nc\r\nz");
}

TEST(TessaryStrings, SettingTheSameTextKeepsTheUndoLog) {
    TCustomTessary ed;
    TTessaryStrings lines(ed);
    lines.SetText("x\ny");
    ed.Perform(EM_REPLACESEL, 0, Str("!"));
    lines.SetText("!x\r\ny");
    EXPECT_TRUE(ed.Perform(EM_CANUNDO));
    lines.SetText(std::string("n\0l", 3));
    EXPECT_EQ(ed.Store().Text(), "n.l");
    lines.AddStrings({"p", "q"});
    EXPECT_EQ(ed.Store().Text(), "p\rq\rn.l");
    ed.Perform(EM_UNDO);
    EXPECT_EQ(ed.Store().Text(), "n.l");
}
