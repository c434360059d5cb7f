#include "common/Exceptions.h"
#include "editor/TextStore.h"
#include "editor/UndoStack.h"

#include <gtest/gtest.h>

#include <random>

using namespace torvane;
using namespace torvane::editor;

namespace {

// The smallest control: a selection over a store, recording its edits.
class Editor : public TUndoTarget {
public:
    Editor() { log().SetTarget(this); }
    TUndoStack& log() { return *store.UndoLog(); }

    void GetSelection(TOffset* a, TOffset* c) override {
        *a = anchor;
        *c = caret;
    }
    void SetSelection(TOffset a, TOffset c) override {
        anchor = std::clamp<TOffset>(a, 0, store.TextLength());
        caret = std::clamp<TOffset>(c, 0, store.TextLength());
    }
    void ReplaceSelection(std::string_view text) override {
        anchor = caret = store.Replace(std::min(anchor, caret), std::max(anchor, caret), text);
    }
    void Beep() override { ++beeps; }

    // An edit as the control makes it: one transaction.
    void Edit(TOffset from, TOffset to, std::string_view text) {
        SetSelection(from, to);
        log().BeginTransaction(store.GetRange(std::min(anchor, caret), std::max(anchor, caret)));
        const TOffset start = std::min(anchor, caret);
        ReplaceSelection(text);
        log().EndTransaction(store.GetRange(start, caret));
    }
    void Type(std::string_view chars) {
        for (char c : chars) {
            log().BeginGroup(ugTyping);
            Edit(caret, caret, std::string(1, c));
            log().EndGroup(ugTyping);
        }
    }
    // The application's undo action: merge runs of typing and deleting.
    void AppUndo() {
        int32_t kind = 0, target = 0;
        log().Inspect(1, &kind, &target);
        if (log().Inspect(4, &kind, &target) != 1) return;
        const int merge = kind == ugTyping || kind == ugDeleteChar ? TUndoStack::kInspectMerge : 0;
        if (log().Inspect(16 | merge, &kind, &target) == 1) log().UndoTo(target);
    }

    TTextStore store;
    TOffset anchor = 0, caret = 0;
    int beeps = 0;
};

} // namespace

TEST(UndoStack, TypingIsOneStepForTheAppAndOneCharacterForTheControl) {
    Editor e;
    e.Type("abc");
    EXPECT_EQ(e.log().Count(), 3 * (3 + 6 + 3));
    EXPECT_TRUE(e.log().Modified());
    e.log().Undo(); // the control's own undo: one group, one character
    EXPECT_EQ(e.store.Text(), "ab");
    e.AppUndo();
    EXPECT_EQ(e.store.Text(), "");
    EXPECT_FALSE(e.log().CanUndo());
    EXPECT_FALSE(e.log().Modified());
    e.log().Redo();
    EXPECT_EQ(e.store.Text(), "a");
    EXPECT_EQ(e.caret, 1);
}

TEST(UndoStack, TypingAfterAMoveIsASeparateStep) {
    Editor e;
    e.Type("ab");
    e.SetSelection(0, 0);
    e.Type("X");
    EXPECT_EQ(e.store.Text(), "Xab");
    e.AppUndo();
    EXPECT_EQ(e.store.Text(), "ab");
    e.AppUndo();
    EXPECT_EQ(e.store.Text(), "");
}

TEST(UndoStack, NewChangeAfterUndoRemovesTheRedoSteps) {
    Editor e;
    e.Type("ab");
    e.log().Undo();
    EXPECT_TRUE(e.log().CanRedo());
    e.Type("c");
    EXPECT_FALSE(e.log().CanRedo());
    EXPECT_EQ(e.store.Text(), "ac");
}

TEST(UndoStack, LoadingAndSavingClearTheLog) {
    Editor e;
    e.Type("x");
    e.store.SetText("loaded");
    e.SetSelection(0, 0);
    EXPECT_FALSE(e.log().Modified());
    EXPECT_FALSE(e.log().CanUndo());
    e.Type("y");
    const std::string path = testing::TempDir() + "undo-save.asm";
    e.store.SaveToFile(path);
    EXPECT_FALSE(e.log().Modified());
    e.log().Undo();
    EXPECT_EQ(e.store.Text(), "yloaded");
    std::remove(path.c_str());
}

TEST(UndoStack, UnindentRecordsRestoreTabsExactly) {
    Editor e;
    e.store.SetText("\t\tmov a,#1\n\t  ret\n");
    e.log().Clear();
    e.log().BeginGroup(ugUnindent);
    for (TLineIndex line : {0, 1}) {
        const TOffset at = e.store.LineStart(line);
        const std::string removed = e.store.GetRange(at, at + 2);
        e.store.Delete(at, 2);
        e.log().RecordRemoval(at, removed);
    }
    e.log().EndGroup(ugUnindent);
    EXPECT_EQ(e.store.Text(), "mov a,#1\r ret\r");
    e.log().Undo();
    EXPECT_EQ(e.store.Text(), "\t\tmov a,#1\r\t  ret\r");
    e.log().Redo();
    EXPECT_EQ(e.store.Text(), "mov a,#1\r ret\r");
}

TEST(UndoStack, TransactionMisuseClearsTheLogAndBeeps) {
    Editor e;
    e.Type("ab");
    e.log().BeginTransaction("");
    try {
        e.log().BeginTransaction("");
        FAIL();
    } catch (const ETessary& ex) {
        EXPECT_STREQ(ex.what(), "Bad transaction log entry");
    }
    EXPECT_EQ(e.log().Count(), 0);
    EXPECT_EQ(e.beeps, 1);
    EXPECT_THROW(e.log().EndTransaction("x"), ETessary);
    EXPECT_EQ(e.beeps, 2);
}

namespace {
// Writes entries that break the transaction layout.
class DamagedLog : public TUndoStack {
public:
    using TUndoStack::TUndoStack;
    void PushBroken() {
        TUndoEntry marker;
        marker.type = utMarker;
        marker.data = utText;
        Push(marker);
        TUndoEntry pos; // position where the closing marker should be
        Push(pos);
    }
};
} // namespace

TEST(UndoStack, BrokenLogDuringUndoClearsBeepsAndKeepsTheText) {
    Editor e;
    DamagedLog damaged(&e);
    e.store.AttachUndoLog(&damaged);
    e.Type("ab");
    damaged.PushBroken();
    damaged.Undo();
    EXPECT_EQ(e.store.Text(), "ab");
    EXPECT_EQ(damaged.Count(), 0);
    EXPECT_EQ(e.beeps, 1);
    // A detached log records nothing and the text still changes.
    e.store.AttachUndoLog(nullptr);
    e.store.Insert(0, "z");
    EXPECT_EQ(e.store.Text(), "zab");
}

TEST(UndoStack, SizeAccountingAndTrim) {
    Editor e;
    e.Edit(0, 0, "hello");
    // Six entries of 16 bytes, plus the new text (the old one is empty).
    EXPECT_EQ(e.log().Size(), 6 * 16 + 5);
    e.log().SetSizeLimit(6 * 16 + 10);
    e.Edit(5, 5, " world");
    EXPECT_EQ(e.log().Count(), 6);
    EXPECT_EQ(e.log().Size(), 6 * 16 + 6);
    e.log().Undo();
    EXPECT_EQ(e.store.Text(), "hello");
}

TEST(UndoStack, InspectionCodes) {
    Editor e;
    int32_t kind = 0, target = 0;
    EXPECT_EQ(e.log().Inspect(1, &kind, &target), 8000);
    EXPECT_EQ(e.log().Inspect(4, &kind, &target), 0);
    EXPECT_EQ(e.log().Inspect(16, &kind, &target), 8002);
    EXPECT_EQ(e.log().Inspect(2, &kind, &target), 8001);
    e.log().BeginGroup(ugPaste);
    e.Edit(0, 0, "pasted");
    e.log().EndGroup(ugPaste);
    e.log().Inspect(1, &kind, &target);
    ASSERT_EQ(e.log().Inspect(4, &kind, &target), 1);
    EXPECT_EQ(kind, ugPaste);
    ASSERT_EQ(e.log().Inspect(16, &kind, &target), 1);
    EXPECT_EQ(target, 0);
    e.log().UndoTo(target);
    EXPECT_EQ(e.store.Text(), "");
    e.log().Inspect(1, &kind, &target);
    ASSERT_EQ(e.log().Inspect(8, &kind, &target), 1);
    ASSERT_EQ(e.log().Inspect(32, &kind, &target), 1);
    e.log().RedoTo(target);
    EXPECT_EQ(e.store.Text(), "pasted");
    EXPECT_FALSE(e.log().CanRedo());
}

TEST(UndoStack, ModifiedFollowsTheSavePoint) {
    Editor e;
    e.Type("ab");
    e.log().MarkSaved();
    EXPECT_FALSE(e.log().Modified());
    e.log().Undo();
    EXPECT_TRUE(e.log().Modified());
    e.log().Redo();
    EXPECT_FALSE(e.log().Modified());
    e.log().Undo();
    e.Type("c"); // same count as at the save, different top entry
    EXPECT_TRUE(e.log().Modified());
}

TEST(UndoStack, RandomEditsUndosAndRedosAgreeWithSnapshots) {
    std::mt19937 rng(424242);
    Editor e;
    std::vector<std::string> history{""};
    size_t at = 0; // history[at] is the current text
    static const char* const pieces[] = {"a", "mov", "\r\n", "\n", "\t", "xyz\rq", ""};
    for (int step = 0; step < 4000; ++step) {
        const int op = static_cast<int>(rng() % 10);
        if (op < 6) {
            // One group of one to three edits.
            const int32_t kind = ugTyping + static_cast<int32_t>(rng() % 10);
            e.log().BeginGroup(kind);
            for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n) {
                const TOffset len = e.store.TextLength();
                const TOffset a = static_cast<TOffset>(rng() % (len + 1));
                const TOffset b = std::min<TOffset>(len, a + static_cast<TOffset>(rng() % 6));
                std::string text;
                for (int k = static_cast<int>(rng() % 3); k > 0; --k)
                    text += pieces[rng() % 7];
                e.Edit(a, b, text);
            }
            e.log().EndGroup(kind);
            // Every group is one undo step, even one that left the text as it was.
            history.resize(at + 1);
            history.push_back(e.store.Text());
            ++at;
        } else if (op < 8) {
            e.log().Undo();
            if (at > 0) --at;
        } else {
            e.log().Redo();
            if (at + 1 < history.size()) ++at;
        }
        ASSERT_EQ(e.store.Text(), history[at]) << "step " << step;
        ASSERT_EQ(e.log().CanUndo(), at > 0) << "step " << step;
    }
    EXPECT_EQ(e.beeps, 0);
    EXPECT_EQ(e.store.CheckInvariants(), "");
}

// A log trimmed from the bottom keeps the texts of every entry it still
// holds: undo walks back through the newest edits exactly, redo returns.
TEST(UndoStack, TrimmedLogUndoesAndRedoesTheEditsItKept) {
    std::mt19937 rng(97);
    Editor e;
    e.log().SetSizeLimit(20 * (6 * 16) + 400);
    std::vector<std::string> history{""};
    for (int i = 0; i < 300; ++i) {
        const TOffset len = e.store.TextLength();
        const TOffset a = static_cast<TOffset>(rng() % (len + 1));
        const TOffset b = std::min<TOffset>(len, a + static_cast<TOffset>(rng() % 8));
        e.Edit(a, b, std::string(rng() % 30, static_cast<char>('a' + i % 26)));
        history.push_back(e.store.Text());
        ASSERT_LE(e.log().Size(), e.log().SizeLimit());
    }
    size_t at = history.size() - 1;
    while (e.log().CanUndo()) {
        e.log().Undo();
        ASSERT_EQ(e.store.Text(), history[--at]);
    }
    EXPECT_GT(history.size() - 1 - at, 10u) << "the log should hold a good number of edits";
    while (e.log().CanRedo()) {
        e.log().Redo();
        ASSERT_EQ(e.store.Text(), history[++at]);
    }
    EXPECT_EQ(at, history.size() - 1);
    // Undo half, then a new edit: its entries read back as written, and the
    // save point set before does not match the new top.
    for (int i = 0; i < 5; ++i)
        e.log().Undo();
    e.log().MarkSaved();
    e.log().Undo();
    e.Edit(0, 0, "new");
    EXPECT_TRUE(e.log().Modified());
    const int32_t top = e.log().Count() - 1;
    EXPECT_EQ(e.log().At(top - 2).text, std::optional<std::string>("new"));
    EXPECT_EQ(e.log().At(top - 3).text, std::optional<std::string>(""));
    EXPECT_EQ(e.log().At(top - 1).type, utPosition);
    EXPECT_EQ(e.log().At(top - 1).data, 3);
    EXPECT_NE(e.log().SerialAt(top), e.log().SerialAt(top - 1));
    EXPECT_EQ(e.beeps, 0);
}

TEST(UndoStack, StreamTransactionsAndFreedEntries) {
    Editor e;
    int freedStreams = 0;
    int64_t freedText = 0;
    e.log().SetOnFree([&](const TUndoEntry& entry) {
        freedStreams += entry.stream != nullptr;
        if (entry.text) freedText += static_cast<int64_t>(entry.text->size());
    });
    e.Edit(0, 0, "abc");
    auto bytes = std::make_shared<TMemoryStream>();
    bytes->Write("raw\0x", 5);
    e.SetSelection(1, 2);
    e.log().BeginTransaction("b", utStream);
    e.ReplaceSelection(std::string_view("raw\0x", 5));
    e.log().EndStreamTransaction(bytes);
    const std::string after = e.store.Text();
    EXPECT_EQ(e.log().Size(), 12 * 16 + 3 + 1 + 5 + static_cast<int64_t>(sizeof(TMemoryStream)));
    e.log().Undo();
    EXPECT_EQ(e.store.Text(), "abc");
    e.log().Redo();
    EXPECT_EQ(e.store.Text(), after);
    EXPECT_EQ(e.log().At(9).stream, bytes);
    e.log().Clear();
    EXPECT_EQ(freedStreams, 1);
    EXPECT_EQ(freedText, 3 + 1);
    EXPECT_EQ(e.log().Size(), 0);
}
