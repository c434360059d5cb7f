#include "editor/Painter.h"
#include "editor/TessaryCommands.h"

#include <gtest/gtest.h>

#include <vector>

using namespace torvane;
using namespace torvane::editor;

namespace {

struct ViewHost : TessaryHost {};

// Ten rows of the default 18-pixel font.
constexpr int kTenRows = 180;

class Commands : public ::testing::Test {
protected:
    ViewHost host;
    TCustomTessary ed{&host};
    TTessaryCommands cmd{ed};
    Commands() { ed.SetClientSize(400, kTenRows); }

    void SetText(const char* text, TOffset caret = 0) {
        ed.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text));
        ed.SetSelection(caret, caret, false);
    }
    std::string Text() const { return ed.Store().Text(); }
    void Run(int32_t code, bool extend = false) { cmd.ExecuteCommand(code, extend); }
    void Type(std::string_view chars) {
        for (char c : chars)
            cmd.KeyPress(static_cast<uint8_t>(c));
    }
    void Undo() { ed.Perform(EM_UNDO); }
    void CaretBeyondEndMode(bool fixedPitch) {
        ed.SetOptions(ed.Options() | smoCaretAfterEOL);
        TCaretMetrics m;
        m.fixedPitch = fixedPitch;
        ed.SetMetrics(m);
    }
};

TEST_F(Commands, LineEndStopsBeforeTrailingBlanks) {
    SetText("abc \t \rnext");
    Run(acLineEnd);
    EXPECT_EQ(ed.Caret(), 3);
    SetText("   \rx", 1); // a line of blanks only: its start
    Run(acLineEnd);
    EXPECT_EQ(ed.Caret(), 0);
}

TEST_F(Commands, OverwriteReplacesCharactersButNeverTheLineBreak) {
    SetText("ab\rcd", 1);
    Run(acToggleInsert);
    EXPECT_FALSE(ed.InsertMode());
    Type("XY");
    EXPECT_EQ(Text(), "aXY\rcd");
    Type("\r");
    EXPECT_EQ(Text(), "aXY\r\rcd");
}

TEST_F(Commands, AutoIndent) {
    SetText("  abc", 5);
    Type("\r");
    EXPECT_EQ(Text(), "  abc\r  ");
    SetText("  abc\r", 6); // an empty line takes the indentation above it
    Type("\r");
    EXPECT_EQ(Text(), "  abc\r\r  ");
    SetText("abc", 3);
    Type("\r");
    EXPECT_EQ(Text(), "abc\r");
    // Eight columns with TAB stops every four fill with TABs.
    SetText("        x", 9);
    Type("\r");
    EXPECT_EQ(Text(), "        x\r\t\t");
    // At the start of an indented line the line moves down unchanged.
    SetText("    top\r  abc", 8);
    Type("\r");
    EXPECT_EQ(Text(), "    top\r\r  abc");
}

TEST_F(Commands, TabAlignsWithTheNextWordOfTheLineAbove) {
    // The document window's options: tab to column, TABs, smart fill.
    ASSERT_EQ(ed.Options() & (smoTabToColumn | smoUseTAB | smoSmartFill),
              smoTabToColumn | smoUseTAB | smoSmartFill);
    SetText("loop:      mov a,#1\r", 20);
    Type("\t");
    EXPECT_EQ(Text(), "loop:      mov a,#1\r\t\t   ");
    EXPECT_EQ(cmd.CaretPos().column, 12);
    Type("add\t");
    EXPECT_EQ(Text(), "loop:      mov a,#1\r\t\t   add ");
    EXPECT_EQ(cmd.CaretPos().column, 16);
    // Without tab-to-column a TAB character is typed.
    ed.SetOptions(ed.Options() & ~smoTabToColumn);
    SetText("a", 1);
    Type("\t");
    EXPECT_EQ(Text(), "a\t");
}

TEST_F(Commands, BlockIndentOfThreeLinesIsOneUndoStep) {
    SetText("a\rb\rc\rd");
    ed.SetSelection(0, 6, false); // ends at the start of "d": left out
    Run(acBlockIndent);
    EXPECT_EQ(Text(), " a\r b\r c\rd");
    EXPECT_EQ(ed.SelStart(), 0);
    EXPECT_EQ(ed.SelEnd(), 9);
    Undo();
    EXPECT_EQ(Text(), "a\rb\rc\rd");
    EXPECT_FALSE(ed.CanUndo());
}

TEST_F(Commands, BlockIndentMessagesTakeACountAndTheTabPermission) {
    SetText("a\rb");
    ed.SetOptions(ed.Options() | smoUseTAB);
    ed.SetSelection(0, 3, false);
    ed.Perform(TEM_BLOCKINDENT, 2, 1);
    EXPECT_EQ(Text(), "\t\ta\r\t\tb");
    ed.Perform(TEM_BLOCKUNINDENT, 1);
    EXPECT_EQ(Text(), "\ta\r\tb");
    ed.Perform(TEM_BLOCKINDENT, 0, 0); // IndentStep blanks; TABs not allowed
    EXPECT_EQ(Text(), " \ta\r \tb");
}

TEST_F(Commands, BlockUnindentUndoRestoresTabs) {
    SetText("\tx\r  y\r\t z");
    ASSERT_TRUE(cmd.SetIndentStep(2));
    ed.SetSelection(1, 9, false);
    Run(acBlockUnindent);
    EXPECT_EQ(Text(), "x\ry\rz");
    Undo();
    EXPECT_EQ(Text(), "\tx\r  y\r\t z");
    EXPECT_FALSE(ed.CanUndo());
}

TEST_F(Commands, KeysGoThroughTheKeyMap) {
    SetText("abc\rdef", 1);
    EXPECT_TRUE(cmd.KeyDown(ShortCut(vk::Down, kscShift)));
    EXPECT_EQ(ed.Anchor(), 1);
    EXPECT_EQ(ed.Caret(), 5);
    // Ctrl+K then Ctrl+I: the second key's Ctrl does not count.
    EXPECT_TRUE(cmd.KeyDown(ShortCut('K', kscCtrl)));
    EXPECT_TRUE(cmd.KeyDown(ShortCut('I', kscCtrl)));
    EXPECT_EQ(Text(), " abc\r def");
    // An unfinished sequence swallows the key; a plain key is left to typing.
    EXPECT_TRUE(cmd.KeyDown(ShortCut('K', kscCtrl)));
    EXPECT_TRUE(cmd.KeyDown('X'));
    EXPECT_FALSE(cmd.KeyDown(ShortCut('Z', kscShift)));
    // OnCommandRecognised may change the command.
    cmd.OnCommandRecognised = [](int32_t& code) { code = acDocumentEnd; };
    cmd.KeyDown(vk::Home);
    EXPECT_EQ(ed.Caret(), ed.Store().TextLength());
}

TEST_F(Commands, WordMovesAndDeletion) {
    SetText("mov a, #12h\rnop");
    Run(acWordRight);
    EXPECT_EQ(ed.Caret(), 4);
    Run(acWordRight);
    EXPECT_EQ(ed.Caret(), 8); // digits belong to words
    Run(acWordRight);
    EXPECT_EQ(ed.Caret(), 12); // across the line break
    Run(acWordLeft);
    EXPECT_EQ(ed.Caret(), 8);
    Run(acWordLeft);
    EXPECT_EQ(ed.Caret(), 4);
    Run(acWordLeft, true);
    EXPECT_EQ(ed.Anchor(), 4);
    EXPECT_EQ(ed.Caret(), 0);

    SetText("foo bar baz", 7);
    Run(acDeleteWordBefore);
    EXPECT_EQ(Text(), "foo  baz");
    Run(acDeleteWordAfter);
    EXPECT_EQ(Text(), "foo baz");
    Undo();
    Undo();
    EXPECT_EQ(Text(), "foo bar baz");

    ed.fn_CharIsInWord = [](uint8_t c) { return c != ' '; };
    SetText("a.b c", 0);
    Run(acWordRight);
    EXPECT_EQ(ed.Caret(), 4);
}

TEST_F(Commands, CaretBeyondEndNeedsAFixedPitchFont) {
    SetText("ab\rcd", 2);
    CaretBeyondEndMode(true);
    for (int i = 0; i < 3; ++i)
        Run(acCursorRight);
    EXPECT_EQ(ed.Caret(), 2);
    EXPECT_TRUE(ed.CaretBeyondEnd());
    EXPECT_EQ(cmd.CaretPos().column, 6);
    Run(acCursorLeft);
    EXPECT_EQ(cmd.CaretPos().column, 5);
    const TViewState view = ed.ViewState(); // what the painter is told
    EXPECT_TRUE(view.caretBeyondEnd);
    EXPECT_EQ(view.virtualColumn, 4);
    EXPECT_EQ(view.caret, 2);
    Type("x"); // the gap is filled (a TAB reaches column 4 exactly)
    EXPECT_EQ(Text(), "ab\tx\rcd");
    Undo();
    EXPECT_EQ(Text(), "ab\rcd");

    SetText("ab\rcd", 2);
    CaretBeyondEndMode(false);
    Run(acCursorRight);
    EXPECT_FALSE(ed.CaretBeyondEnd());
    EXPECT_EQ(ed.Caret(), 3);
}

TEST_F(Commands, DeletingCharacters) {
    SetText("ab\rcd", 2);
    Run(acDeleteChar);
    EXPECT_EQ(Text(), "abcd");
    Run(acDeleteCharBefore);
    EXPECT_EQ(Text(), "acd");
    Run(acDeleteLine);
    EXPECT_EQ(Text(), "");
    // Beyond the end, Delete fills up to the caret and joins the next line.
    SetText("ab\rcd", 2);
    ed.SetOptions(ed.Options() & ~smoSmartFill);
    CaretBeyondEndMode(true);
    Run(acCursorRight);
    Run(acDeleteChar);
    EXPECT_EQ(Text(), "ab cd");
    ed.SetReadOnly(true);
    Run(acDeleteChar);
    Type("zz");
    EXPECT_EQ(Text(), "ab cd");
}

TEST_F(Commands, VerticalMovesKeepTheRememberedColumn) {
    SetText("abcdef\rab\rabcdef", 5);
    Run(acLineDown);
    EXPECT_EQ(ed.Caret(), 9);
    Run(acLineDown);
    EXPECT_EQ(ed.Caret(), 15);
    Run(acLineUp, true);
    EXPECT_EQ(ed.Anchor(), 15);
    EXPECT_EQ(ed.Caret(), 9);
}

TEST_F(Commands, PagesAndScrolling) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line\r";
    SetText(text.c_str(), 2);
    Run(acPageDown);
    EXPECT_EQ(ed.TopLine(), 10);
    EXPECT_EQ(ed.Store().LineOfOffset(ed.Caret()), 10);
    EXPECT_EQ(ed.Caret() - ed.Store().LineStart(10), 2);
    Run(acScrollDown); // the caret would leave the window at the top
    EXPECT_EQ(ed.TopLine(), 11);
    EXPECT_EQ(ed.Store().LineOfOffset(ed.Caret()), 11);
    Run(acPageUp);
    Run(acPageUp);
    EXPECT_EQ(ed.TopLine(), 0);
    Run(acScrollUp);
    EXPECT_EQ(ed.TopLine(), 0);
}

TEST_F(Commands, BookmarksThroughKeySequences) {
    SetText("a\rb\rc", 2);
    cmd.KeyDown(ShortCut('K', kscCtrl));
    cmd.KeyDown('3');
    EXPECT_EQ(cmd.Control().Store().Bookmarks().LineOf(3), 1);
    Run(acDocumentEnd);
    cmd.KeyDown(ShortCut('Q', kscCtrl));
    cmd.KeyDown('3');
    EXPECT_EQ(ed.Caret(), 2);
}

TEST_F(Commands, TypingIsUndoneOneCharacterAtATime) {
    SetText("");
    Type("abc");
    EXPECT_EQ(Text(), "abc");
    Undo();
    EXPECT_EQ(Text(), "ab");
    Undo();
    Undo();
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(ed.CanUndo());
}

TEST_F(Commands, OnChangeOncePerBatchWithItsFlags) {
    SetText("abc");
    std::vector<uint32_t> calls;
    ed.OnChange = [&](uint32_t flags) { calls.push_back(flags); };
    Type("x");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0] & (cfText | cfCaret), cfText | cfCaret);
    Run(acToggleInsert);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1], cfInsertMode);
    Run(acDocumentStart);
    Run(acDocumentStart); // nothing changed: no call
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2] & cfText, 0u);
}

class Mouse : public Commands {
protected:
    int64_t now = 1000;
    std::vector<int32_t> gutterClicks;
    void SetUp() override {
        TCaretMetrics m;
        m.gutterRight = 34;
        m.textLeft = 40;
        m.rowHeight = 10;
        m.charWidth = 10;
        ed.SetMetrics(m);
        cmd.Clock = [this] { return now; };
        cmd.OnGutterClick = [this](int32_t line) { gutterClicks.push_back(line); };
        SetText("alpha beta\rgamma");
    }
    void Click(int column, int row, int64_t later = 100, uint16_t modifiers = 0) {
        now += later;
        TMouseInput m;
        m.x = 40 + column * 10 + 2;
        m.y = row * 10 + 5;
        m.modifiers = modifiers;
        cmd.MouseDown(m);
        cmd.MouseUp(m);
    }
};

TEST_F(Mouse, ClickCycle) {
    Click(7, 0, 5000);
    EXPECT_EQ(cmd.ClickCount(), 1);
    EXPECT_EQ(ed.Caret(), 7);
    Click(7, 0);
    EXPECT_EQ(cmd.ClickCount(), 2); // double click: the word
    EXPECT_EQ(ed.SelStart(), 6);
    EXPECT_EQ(ed.SelEnd(), 10);
    Click(7, 0);
    EXPECT_EQ(ed.SelStart(), 0); // triple click: the line with its break
    EXPECT_EQ(ed.SelEnd(), 11);
    Click(2, 1);
    EXPECT_EQ(cmd.ClickCount(), 4);
    EXPECT_EQ(ed.SelStart(), ed.SelEnd());
    EXPECT_EQ(ed.Caret(), 13);
    Click(3, 1);
    EXPECT_EQ(cmd.ClickCount(), 1);
    Click(0, 0, 1000, kscShift);
    EXPECT_EQ(cmd.ClickCount(), 1);
    EXPECT_EQ(ed.Anchor(), 14);
    EXPECT_EQ(ed.Caret(), 0);
}

TEST_F(Mouse, GutterMarginTripleClickHandlerAndDrag) {
    TMouseInput m;
    m.x = 10;
    m.y = 15;
    cmd.MouseDown(m);
    EXPECT_EQ(gutterClicks, std::vector<int32_t>{2});
    EXPECT_EQ(ed.Caret(), 0);
    m.x = 36;
    now += 5000;
    cmd.MouseDown(m);
    EXPECT_EQ(ed.SelStart(), 11);
    EXPECT_EQ(ed.SelEnd(), 16);
    TOffset tripled = -1;
    cmd.OnTripleClick = [&](int, int, TOffset offset) { tripled = offset; };
    Click(1, 0, 5000);
    Click(1, 0);
    Click(1, 0);
    EXPECT_EQ(tripled, 1);
    // The press lands in the word the double click selected; without a drag
    // source it starts a new selection there instead of dragging the word.
    ed.SetOptions(ed.Options() & ~smoOLEDragSource);
    m.x = 40 + 2 * 10;
    m.y = 5;
    now += 5000;
    cmd.MouseDown(m);
    m.y = 15;
    cmd.MouseMove(m);
    cmd.MouseUp(m);
    cmd.MouseMove(m);
    EXPECT_EQ(ed.Anchor(), 2);
    EXPECT_EQ(ed.Caret(), 13);
}

} // namespace
