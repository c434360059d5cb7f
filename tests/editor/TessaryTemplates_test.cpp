#include "editor/TessaryCommands.h"
#include "editor/TessaryTemplates.h"
#include "highlight/Settings.h"

#include <gtest/gtest.h>

using namespace torvane;
using namespace torvane::editor;

namespace {

constexpr TShortCut kCtrlJ = ShortCut('J', kscCtrl);

struct ViewHost : TessaryHost {};

class Templates : public ::testing::Test {
protected:
    ViewHost host;
    TCustomTessary ed{&host};
    TTessaryCommands cmd{ed};
    TTessaryTemplates& tpl = cmd.Templates();
    TTE_Settings settings;

    void SetUp() override {
        ed.SetClientSize(400, 10 * ed.Metrics().rowHeight);
        settings.AutoReplace().AddMacro("mvo", "", 0, "MOV");
        settings.CodeTemplates().AddMacro("isr", "interrupt service routine", 0,
                                          "PUSH ACC\n|\nPOP ACC\nRETI");
        settings.CodeTemplates().AddMacro("delay", "delay loop", 0, "MOV R7,#|");
        cmd.SetSettings(&settings);
    }
    void SetText(const char* text) {
        ed.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text));
        const TOffset end = ed.Store().TextLength();
        ed.SetSelection(end, end, false);
    }
    std::string Text() const { return ed.Store().Text(); }
    // A key as the window hands it on: key-down, then its character unless used.
    void Press(TShortCut key, char typed = 0) {
        if (!cmd.KeyDown(key) && typed) cmd.KeyPress(static_cast<uint8_t>(typed));
    }
    void Type(std::string_view chars) {
        for (char c : chars) {
            const int code = CharToTriggerKey(static_cast<uint8_t>(c));
            TShortCut key = static_cast<TShortCut>(code & 0xFF);
            if (code & kTriggerShift) key |= kscShift;
            Press(key, c);
        }
    }
    void Undo() { ed.Perform(EM_UNDO); }
};

TEST_F(Templates, AutoCorrectReplacesAStandaloneWordAndOneUndoRestoresIt) {
    SetText("\tmvo");
    Type(" ");
    EXPECT_EQ(Text(), "\tMOV ");
    EXPECT_EQ(ed.Caret(), 5);
    Undo();
    EXPECT_EQ(Text(), "\tmvo");
    EXPECT_EQ(ed.Caret(), 4);

    SetText("mvo");
    Type("x "); // the letter is no trigger, and "mvox" is no slip
    EXPECT_EQ(Text(), "mvox ");
    SetText("xmvo");
    Type(",");
    EXPECT_EQ(Text(), "xmvo,");
    SetText("MVO");
    Type(":"); // a shifted trigger, and the word in capitals
    EXPECT_EQ(Text(), "MOV:");
}

TEST_F(Templates, AutoCorrectVetoAndTriggersThatTypeNothing) {
    std::string seen;
    tpl.OnAutoReplace = [&](const std::string& word, std::string& with, bool& can) {
        seen = word;
        can = with != "MOV";
    };
    SetText("mvo");
    Type(" ");
    EXPECT_EQ(seen, "mvo");
    EXPECT_EQ(Text(), "mvo ");

    // A trigger key that types no character corrects at once.
    tpl.OnAutoReplace = nullptr;
    settings.AutoReplace().SetTriggerText("\\{F5}");
    SetText("a\rmvo");
    Press(ShortCut(vk::F1 + 4));
    EXPECT_EQ(Text(), "a\rMOV");
    EXPECT_TRUE(ed.CanUndo());
}

TEST_F(Templates, HotKeyExpandsWithIndentAndCaretMark) {
    SetText("start:\r    isr");
    Press(kCtrlJ);
    EXPECT_EQ(Text(), "start:\r    PUSH ACC\r    \r    POP ACC\r    RETI");
    EXPECT_EQ(ed.Caret(), 7 + 13 + 4); // on the line of the bar, at the column of the word
    EXPECT_EQ(ed.Anchor(), ed.Caret());
    Undo();
    EXPECT_EQ(Text(), "start:\r    isr");

    // Upper-case names match; the key is used up, so nothing else runs.
    SetText("DELAY");
    EXPECT_TRUE(cmd.KeyDown(kCtrlJ));
    EXPECT_EQ(Text(), "MOV R7,#");

    // Switched off: the key goes on to the key map (and types nothing).
    settings.CodeTemplates().enabled = false;
    SetText("isr");
    Press(kCtrlJ);
    EXPECT_EQ(Text(), "isr");
    EXPECT_FALSE(tpl.PickListOpen());
}

TEST_F(Templates, TemplateEventMayChangeTheText) {
    tpl.OnTemplateEvent = [](const std::string& name, std::string& text) { text = name + "\r\n|;"; };
    SetText("  isr");
    Press(kCtrlJ);
    EXPECT_EQ(Text(), "  isr\r  ;");
    EXPECT_EQ(ed.Caret(), 8);
}

TEST_F(Templates, HotKeyBeatsTheKeyMapAndTheKeyMapComesFromTheSettings) {
    // Ctrl+Y deletes the line in the default map; as the hot key it expands.
    settings.CodeTemplates().SetTriggerKey(ShortCut('Y', kscCtrl));
    SetText("x\risr");
    Press(ShortCut('Y', kscCtrl));
    EXPECT_EQ(Text().substr(0, 10), "x\rPUSH ACC");

    TTE_Settings other;
    other.KeyMap().AddKey(ShortCut(vk::F1 + 1), 0, acDocumentStart);
    cmd.SetSettings(&other);
    EXPECT_TRUE(cmd.KeyDown(ShortCut(vk::F1 + 1)));
    EXPECT_EQ(ed.Caret(), 0);
    cmd.SetSettings(&settings);
    EXPECT_FALSE(cmd.KeyDown(ShortCut(vk::F1 + 1)));
}

TEST_F(Templates, PickListForAWordThatNamesNoTemplate) {
    SetText("mov a,#1\r  del");
    Press(kCtrlJ);
    ASSERT_TRUE(tpl.PickListOpen());
    EXPECT_EQ(Text(), "mov a,#1\r  del"); // nothing but the selection changed
    EXPECT_EQ(ed.SelStart(), 11);
    EXPECT_EQ(ed.SelEnd(), 14);
    EXPECT_FALSE(ed.HideSelection());
    EXPECT_EQ(tpl.PickWord(), "del");
    EXPECT_EQ(tpl.PickItems()[static_cast<size_t>(tpl.PickSelected())].name, "delay");

    EXPECT_TRUE(tpl.PickTypeAhead('i'));
    EXPECT_EQ(tpl.PickItems()[static_cast<size_t>(tpl.PickSelected())].name, "isr");
    EXPECT_FALSE(tpl.PickTypeAhead('x'));
    EXPECT_EQ(tpl.TypeAhead(), "i");
    tpl.PickChoose(); // "del" is not part of "isr": it stays, the template follows
    EXPECT_FALSE(tpl.PickListOpen());
    EXPECT_EQ(Text(), "mov a,#1\r  delPUSH ACC\r     \r     POP ACC\r     RETI");

    SetText("  de");
    Press(kCtrlJ);
    tpl.PickChoose(); // the word begins the chosen name: replaced
    EXPECT_EQ(Text(), "  MOV R7,#");
    EXPECT_EQ(ed.Caret(), 10);

    SetText("zz");
    Press(kCtrlJ);
    EXPECT_EQ(tpl.PickSelected(), 0); // no name contains the word: the first
    tpl.PickCancel();
    EXPECT_FALSE(tpl.PickListOpen());
    EXPECT_TRUE(ed.HideSelection());
    EXPECT_EQ(ed.Anchor(), 2);
    EXPECT_EQ(ed.Caret(), 2);
    EXPECT_EQ(Text(), "zz");
}

TEST_F(Templates, NothingHappensWithoutTextOrReadOnly) {
    SetText("");
    EXPECT_FALSE(cmd.KeyDown(kCtrlJ));
    EXPECT_FALSE(tpl.PickListOpen());
    SetText("isr");
    ed.SetReadOnly(true);
    EXPECT_FALSE(cmd.KeyDown(kCtrlJ));
    EXPECT_EQ(Text(), "isr");
}

} // namespace
