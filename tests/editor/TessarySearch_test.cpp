#include "editor/Tessary.h"
#include "editor/TessaryCommands.h"
#include "editor/TessarySearch.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

using namespace torvane::editor;

namespace {

struct SearchHost : TSearchHost {
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::deque<TReplaceAnswer> answers; // Cancel once they run out
    std::vector<TFindReplaceDialog> findDialogs, replaceDialogs;
    int busy = 0, busyCalls = 0;

    void ShowMessage(const std::string& text, TSearchMessageKind) override { messages.push_back(text); }
    TReplaceAnswer ConfirmReplace(const std::string& question) override {
        questions.push_back(question);
        if (answers.empty()) return TReplaceAnswer::Cancel;
        TReplaceAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void OpenFindDialog(const TFindReplaceDialog& preset) override { findDialogs.push_back(preset); }
    void OpenReplaceDialog(const TFindReplaceDialog& preset) override { replaceDialogs.push_back(preset); }
    void SetBusyCursor(bool on) override {
        busy += on ? 1 : -1;
        ++busyCalls;
    }
};

struct Editor {
    explicit Editor(const char* text) {
        ed.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text));
        search.SetHost(&host);
    }
    std::string Text() const { return ed.Store().GetRange(0, ed.Store().TextLength()); }
    TTessarySearch& Search() { return search; }
    TCustomTessary ed;
    TTessarySearch search{ed};
    SearchHost host;
};

TFindReplaceDialog Dialog(std::string find, uint32_t options, std::string replace = {}) {
    return {std::move(find), std::move(replace), options};
}

} // namespace

TEST(TessarySearch, RepeatedSearchesMoveOnInsteadOfFindingTheSameMatch) {
    Editor e("mov a,b\r\nMOV c,d\r\nmov e,f");
    TOffset at = -1;
    ASSERT_TRUE(e.Search().FindText("mov", &at, kSearchDirect));
    EXPECT_EQ(at, 0);
    e.ed.SetSelection(0, 3, false); // what the find window does with the match
    ASSERT_TRUE(e.Search().FindAgain(&at));
    EXPECT_EQ(at, 8);
    EXPECT_EQ(e.ed.SelText(), "MOV");
    ASSERT_TRUE(e.Search().FindAgain(&at));
    EXPECT_EQ(at, 16);
    EXPECT_FALSE(e.Search().FindAgain(&at));
    EXPECT_EQ(at, 16);
    EXPECT_EQ(e.host.messages, std::vector<std::string>{"Search string \"mov\" not found."});
    // The selection a failed search started from is kept.
    EXPECT_EQ(e.ed.SelText(), "mov");

    // Backwards, the selected match is stepped over as well.
    ASSERT_TRUE(e.Search().FindText("mov", &at, kSearchDirect | kSearchBackwards));
    EXPECT_EQ(at, 8);
    e.ed.SetSelection(8, 11, false);
    ASSERT_TRUE(e.Search().FindAgain(&at));
    EXPECT_EQ(at, 0);

    // The standard dialog's find-next: twice gives two different matches.
    Editor d("mov a,b\r\nMOV c,d\r\nmov e,f");
    ASSERT_TRUE(d.Search().FindNext(Dialog("mov", frDown | frMatchCase)));
    EXPECT_EQ(d.ed.SelStart(), 0);
    ASSERT_TRUE(d.Search().FindNext(Dialog("mov", frDown | frMatchCase)));
    EXPECT_EQ(d.ed.SelStart(), 16);
    EXPECT_EQ(d.ed.SelEnd(), 19);
}

TEST(TessarySearch, FindAgainOverlappingMatchesAndWithoutASearch) {
    Editor e("aaaa");
    TOffset at = -1;
    EXPECT_FALSE(e.Search().FindAgain(&at)); // nothing remembered: silent
    EXPECT_TRUE(e.host.messages.empty());
    ASSERT_TRUE(e.Search().FindText("AA", &at, kSearchDirect));
    e.ed.SetSelection(0, 2, false);
    // The selection equals the text (case aside): the next match may overlap it.
    ASSERT_TRUE(e.Search().FindAgain(&at));
    EXPECT_EQ(at, 1);
    EXPECT_EQ(e.ed.SelStart(), 1);
    EXPECT_EQ(e.ed.SelEnd(), 3);
}

TEST(TessarySearch, WholeWordsSkipLongerWords) {
    Editor e("movx a,@r0\r\nmov_1 a,b\r\nmov a,b\r\nmovx @dptr,a\r\nmov\r\n");
    TOffset at = -1;
    ASSERT_TRUE(e.Search().FindText("mov", &at, kSearchDirect | kSearchWholeWord));
    EXPECT_EQ(at, 21); // "mov" followed by a space
    e.ed.SetSelection(at, at + 3, false);
    ASSERT_TRUE(e.Search().FindAgain(&at));
    EXPECT_EQ(at, 42); // "mov" at the end of a line
    e.ed.SetSelection(0, 0, false);
    EXPECT_EQ(e.Search().ReplaceAll("mov", "MOV", kSearchWholeWord), 2u);
    EXPECT_EQ(e.Text(), "movx a,@r0\rmov_1 a,b\rMOV a,b\rmovx @dptr,a\rMOV\r");

    // The control's own word characters decide: with "." in words, "r0" in
    // "@r0.1" no longer stands alone.
    Editor d("setb @r0.1\nsetb r0");
    ASSERT_TRUE(d.Search().FindText("r0", &at, kSearchDirect | kSearchWholeWord));
    EXPECT_EQ(at, 6);
    d.ed.fn_CharIsInWord = [](uint8_t c) { return c == '.' || DefaultCharIsInWord(c); };
    ASSERT_TRUE(d.Search().FindText("r0", &at, kSearchDirect | kSearchWholeWord));
    EXPECT_EQ(at, 16);
}

TEST(TessarySearch, ReplaceAllCollectsFirstAndUndoesInOneStep) {
    Editor e("aaa");
    EXPECT_EQ(e.Search().ReplaceAll("a", "aa", 0), 3u);
    EXPECT_EQ(e.Text(), "aaaaaa");
    EXPECT_EQ(e.ed.Caret(), 4); // the start of the last replacement
    EXPECT_EQ(e.host.busy, 0);
    EXPECT_EQ(e.host.busyCalls, 2);
    e.ed.Undo();
    EXPECT_EQ(e.Text(), "aaa");
    EXPECT_FALSE(e.ed.CanUndo());

    // Nothing to replace: the not-found report, and no empty undo step.
    EXPECT_EQ(e.Search().ReplaceAll("b", "c", 0), 0u);
    EXPECT_FALSE(e.ed.CanUndo());
    EXPECT_EQ(e.host.messages, std::vector<std::string>{"Search string \"b\" not found."});
}

TEST(TessarySearch, ReplaceAllFromTheSelectionThroughTheDialog) {
    Editor e("x1 x2\nx3 x4");
    e.ed.SetSelection(3, 5, false); // "x2" selected: it is replaced too
    e.Search().Replace(Dialog("X", frDown | frReplaceAll, "y"));
    EXPECT_EQ(e.Text(), "x1 y2\ry3 y4");
}

TEST(TessarySearch, BackwardsFromTheStartFailsAtOnce) {
    Editor e("abc abc");
    std::vector<std::string> failed;
    e.Search().OnSearchFail = [&](TCustomTessary& sender, const std::string& text) {
        EXPECT_EQ(&sender, &e.ed);
        failed.push_back(text);
    };
    EXPECT_FALSE(e.Search().FindNext(Dialog("abc", 0)));
    EXPECT_EQ(failed, std::vector<std::string>{"abc"});
    EXPECT_TRUE(e.host.messages.empty()); // the handler replaces the default message
    EXPECT_EQ(e.ed.Perform(TEM_SEARCH, kSearchDirect | kSearchBackwards, reinterpret_cast<intptr_t>("abc")),
              -1);
    // Forwards from the text end likewise.
    e.ed.SetSelection(7, 7, false);
    EXPECT_EQ(e.ed.Perform(TEM_SEARCH, kSearchDirect, reinterpret_cast<intptr_t>("c")), -1);
    EXPECT_FALSE(e.Search().FindNext(Dialog("abc", frDown)));
    EXPECT_EQ(failed.size(), 2u);
}

TEST(TessarySearch, PatternReplaceExpandsElementsOfEachMatch) {
    Editor e("mov a,r1\nmov b,r2\n");
    e.Search().SetRegExpMode(true);
    // Every element of the pattern is numbered: [ab] is %1, "," %2, "r" %3
    // and the digit %4.
    EXPECT_EQ(e.Search().ReplaceAll("[ab],r[0-9]", "r%4,%1", 0), 2u);
    EXPECT_EQ(e.Text(), "mov r1,a\rmov r2,b\r");

    // A pattern match is selected by the search message itself.
    e.ed.SetSelection(0, 0, false);
    EXPECT_EQ(e.ed.Perform(TEM_SEARCH, kSearchDirect, reinterpret_cast<intptr_t>("r[0-9]")), 4);
    EXPECT_EQ(e.ed.SelText(), "r1");
}

TEST(TessarySearch, PatternErrorsShowTheMessageWithACaretAndChangeNothing) {
    Editor e("abc");
    EXPECT_EQ(e.ed.Perform(TEM_SEARCH, kSearchDirect | kSearchRegExp, reinterpret_cast<intptr_t>("ab(c")),
              -1);
    ASSERT_EQ(e.host.messages.size(), 1u);
    const std::string& message = e.host.messages[0];
    // The engine's text, the pattern, and a caret under the failing place.
    const size_t firstBreak = message.find('\n');
    ASSERT_NE(firstBreak, std::string::npos);
    const size_t secondBreak = message.find('\n', firstBreak + 1);
    ASSERT_NE(secondBreak, std::string::npos);
    EXPECT_NE(message.find("ab(c", firstBreak), std::string::npos);
    const std::string caretLine = message.substr(secondBreak + 1);
    ASSERT_FALSE(caretLine.empty());
    EXPECT_EQ(caretLine.back(), '^');
    EXPECT_EQ(caretLine.find_first_not_of(' '), caretLine.size() - 1);

    e.Search().SetRegExpMode(true);
    EXPECT_EQ(e.Search().ReplaceAll("[", "x", 0), 0u);
    EXPECT_EQ(e.Text(), "abc");
    EXPECT_FALSE(e.ed.CanUndo());
    EXPECT_EQ(e.host.messages.size(), 2u);
}

TEST(TessarySearch, NotFoundMessageWithoutAHandler) {
    Editor e("nop");
    TOffset at = -1;
    // FindText itself reports nothing: the find window does.
    EXPECT_FALSE(e.Search().FindText("xyz", &at, kSearchDirect));
    EXPECT_TRUE(e.host.messages.empty());
    EXPECT_FALSE(e.Search().FindAgain(&at));
    EXPECT_EQ(e.host.messages, std::vector<std::string>{"Search string \"xyz\" not found."});
}

TEST(TessarySearch, ConfirmingReplaceLoop) {
    Editor e("r0 r0 r0 r0 r0");
    e.host.answers = {TReplaceAnswer::Yes, TReplaceAnswer::No, TReplaceAnswer::All};
    e.Search().Replace(Dialog("r0", frDown | frReplace, "r1"));
    EXPECT_EQ(e.Text(), "r1 r0 r1 r1 r1");
    ASSERT_EQ(e.host.questions.size(), 3u); // nothing asked after All
    EXPECT_EQ(e.host.questions[0], "Replace this occurence of 'r0' with 'r1' ?");
    EXPECT_TRUE(e.host.messages.empty()); // no not-found report after All
    EXPECT_FALSE(e.ed.PaintLocked());
    // Each replacement is its own undo step.
    e.ed.Undo();
    EXPECT_EQ(e.Text(), "r1 r0 r1 r1 r0");

    // Cancel at the first question changes nothing.
    Editor c("a b a");
    c.host.answers = {TReplaceAnswer::Cancel};
    c.Search().Replace(Dialog("a", frDown | frReplace, "aa"));
    EXPECT_EQ(c.Text(), "a b a");
    EXPECT_EQ(c.host.questions.size(), 1u);

    // Replacing by a text that contains the search text does not loop, and
    // the end of the matches is reported while confirming.
    Editor y("a a");
    y.host.answers = {TReplaceAnswer::Yes, TReplaceAnswer::Yes};
    y.Search().Replace(Dialog("a", frDown | frReplace, "aa"));
    EXPECT_EQ(y.Text(), "aa aa");
    EXPECT_EQ(y.host.messages, std::vector<std::string>{"Search string \"a\" not found."});

    // Backwards from the caret.
    Editor b("x x x");
    b.ed.SetSelection(5, 5, false);
    b.host.answers = {TReplaceAnswer::Yes, TReplaceAnswer::No, TReplaceAnswer::Yes};
    b.Search().Replace(Dialog("x", frReplace, "xx"));
    EXPECT_EQ(b.Text(), "xx x xx");
}

TEST(TessarySearch, MessagesOpenTheControlsOwnDialogs) {
    Editor e("djnz r7,loop");
    e.ed.Perform(TEM_SEARCH, kSearchBackwards | kSearchMatchCase, reinterpret_cast<intptr_t>("loop"));
    ASSERT_EQ(e.host.findDialogs.size(), 1u);
    EXPECT_EQ(e.host.findDialogs[0].findText, "loop");
    EXPECT_EQ(e.host.findDialogs[0].options, uint32_t{frMatchCase});
    e.ed.SetSelection(5, 7, false);
    e.ed.Perform(TEM_SEARCH, 0, reinterpret_cast<intptr_t>("loop"));
    EXPECT_EQ(e.host.findDialogs.back().findText, "r7"); // the selection wins
    EXPECT_EQ(e.host.findDialogs.back().options, uint32_t{frDown});

    e.Search().Replace(Dialog("r7", frDown | frFindNext, "r6"));
    e.ed.Perform(TEM_REPLACEDIALOG, kSearchWholeWord);
    ASSERT_EQ(e.host.replaceDialogs.size(), 1u);
    EXPECT_EQ(e.host.replaceDialogs[0].replaceText, "r6");
    EXPECT_EQ(e.host.replaceDialogs[0].options, uint32_t{frDown | frWholeWord});
}

TEST(TessarySearch, FollowsTheStoreTheControlShows) {
    Editor e("first text");
    TOffset at = -1;
    ASSERT_TRUE(e.Search().FindText("text", &at, kSearchDirect));
    auto other = std::make_shared<TTextStore>();
    other->SetText("another store's text");
    e.ed.SetStore(other);
    ASSERT_TRUE(e.Search().FindText("text", &at, kSearchDirect));
    EXPECT_EQ(at, 16);
}

TEST(TessarySearch, TokenUnderTheCaret) {
    Editor e("mov a,b");
    const uint8_t tokens[] = {1, 1, 1, 0, 2, 3, 2};
    e.ed.Perform(TEM_SETTOKENS, 0, reinterpret_cast<intptr_t>(tokens));
    TTokenText token = e.Search().GetTokenAt(1);
    EXPECT_EQ(token.start, 0);
    EXPECT_EQ(token.text, "mov");
}
