// The main window's commands on the text of the active document: comment
// toggling, import, and find and replace through the find dialog.

#include "app/AppLogic.h"
#include "app/AppTexts.h"
#include "app/Cp1250.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/dialogs/FindDialog.h"
#include "app/dialogs/ProgressPopup.h"
#include "app/logic/ImportLayout.h"
#include "editor/TessarySearch.h"
#include "editor/TextStore.h"

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>

#include <exception>

namespace torvane::app {
namespace {

using editor::TOffset;

// Undo group of the comment commands, so that one Zpět restores all lines.
constexpr int32_t kCommentGroup = 34;
constexpr char kCommentChar = ';';

// The find dialog's view of a document window's editor. Texts cross as
// Windows-1250 bytes; a text the code page cannot hold is never found.
class EditorSearchTarget final : public SearchTarget {
public:
    explicit EditorSearchTarget(TEditWin& win) : win_(win), memo_(*win.sMemo) {}

    bool FindText(const QString& text, int flags, int* position) override {
        std::string bytes;
        if (!UnicodeToCp1250(text, &bytes)) return false;
        TOffset found = 0;
        const bool ok = memo_.View().Search().FindText(bytes, &found, static_cast<uint32_t>(flags));
        if (ok && position) *position = static_cast<int>(found);
        return ok;
    }
    bool FindAgain() override {
        TOffset found = 0;
        return memo_.View().Search().FindAgain(&found);
    }
    // The search works on the stored text, where a line break is one character.
    QString SelText() override { return Cp1250ToUnicode(memo_.Control().SelStoredText()); }
    void SetSelText(const QString& text) override {
        std::string bytes;
        if (!UnicodeToCp1250(text, &bytes)) {
            memo_.View().Beep();
            return;
        }
        memo_.Control().ReplaceSel(bytes);
    }
    int SelStart() override { return static_cast<int>(memo_.Control().SelStart()); }
    int SelLength() override { return memo_.SelLength(); }
    void SetSelection(int start, int length) override {
        memo_.Control().SetSelection(start, static_cast<TOffset>(start) + length, true);
    }
    void MoveCaret(int offset) override { SetSelection(offset, 0); }
    int TextLength() override { return static_cast<int>(memo_.Store().TextLength()); }
    int CaretOffset() override { return static_cast<int>(memo_.Control().Caret()); }
    QString GetTokenAt(int offset) override {
        return Cp1250ToUnicode(memo_.View().Search().GetTokenAt(offset).text);
    }
    void BeginUpdate() override { memo_.Control().Perform(editor::TEM_PAINTLOCK, editor::kSet, 1); }
    void EndUpdate() override {
        memo_.Control().Perform(editor::TEM_PAINTLOCK, editor::kSet, 0);
        memo_.View().InvalidateAll();
        memo_.Control().ScrollCaretIntoView();
    }
    void SearchFailed(const QString& text) override { win_.sMemoSearchFail(text); }
    void SetChangeHandlerEnabled(bool enabled) override {
        memo_.Tag = enabled ? 1 : 0;
        // The reports made while it was off are gone: the status bar and the
        // commands catch up with the replacements at once.
        if (enabled) win_.sMemoChange(ckText | ckCaret | ckMode);
    }

private:
    TEditWin& win_;
    TTessary& memo_;
};

} // namespace

// ---- comments -----------------------------------------------------------------

void TfrmTorvane::actCommentExecute() {
    ToggleComment(true);
}

void TfrmTorvane::actUnCommentExecute() {
    ToggleComment(false);
}

void TfrmTorvane::ToggleComment(bool comment) {
    TEditWin* win = ActiveEditWin();
    if (!win || win->sMemo->SelLength() == 0) return;
    TTessary& memo = *win->sMemo;
    editor::TCustomTessary& control = memo.Control();
    const editor::TTextStore& store = memo.Store();
    // A selection that ends at the very start of a line leaves that line out.
    const editor::TLineIndex first = store.LineOfOffset(control.SelStart());
    const editor::TLineIndex last = store.LineOfOffset(control.SelEnd() - 1);

    // Reported once, when the undo group is closed.
    editor::TCustomTessary::Batch batch(control);
    control.BeginUndoGroup(kCommentGroup);
    control.Perform(editor::TEM_PAINTLOCK, editor::kSet, 1);
    try {
        for (editor::TLineIndex line = first; line <= last; ++line) {
            const std::string text = store.LineText(line);
            if (text.empty()) continue;
            const TOffset start = store.LineStart(line);
            const bool commented = text.front() == kCommentChar;
            if (comment && !commented) {
                control.SetSelection(start, start, false);
                control.ReplaceSel(std::string(1, kCommentChar));
            } else if (!comment && commented) {
                control.SetSelection(start, start + 1, false);
                control.ReplaceSel({});
            }
        }
    } catch (...) {
        control.Perform(editor::TEM_PAINTLOCK, editor::kSet, 0);
        control.EndUndoGroup(kCommentGroup);
        throw;
    }
    // The changed lines stay selected, so the other command can follow.
    control.SetSelection(store.LineStart(first), store.LineStart(last) + store.LineText(last).size(), false);
    control.Perform(editor::TEM_PAINTLOCK, editor::kSet, 0);
    control.EndUndoGroup(kCommentGroup);
    memo.View().InvalidateAll();
}

// ---- import ---------------------------------------------------------------------

void TfrmTorvane::actImportExecute() {
    const QString fileName = dialogs_.ImportFileName(this);
    if (!fileName.isEmpty()) Import(fileName);
}

void TfrmTorvane::Import(const QString& fileName) {
    QStringList names;
    for (const TEditWin* win : EditWindows())
        names << win->FileName;
    CreateEditor(UntitledName(names), true);
    TEditWin* win = ActiveEditWin();
    if (!win) return;

    // The store reads any line ends, as opening a document does.
    editor::TTextStore source;
    try {
        source.LoadFromFile(QFile::encodeName(fileName).toStdString());
    } catch (const std::exception&) {
        dialogs_.ShowErrorBox(this,
                              QString::fromUtf8(text::kImportOpenErrorHead) + fileName + QLatin1Char('"'));
        return;
    }
    // Whole lines, however long: the store splits a long line over several
    // nodes, so its node lines are no lines of the file. A final line break
    // ends the last line and starts none (an empty file imports as nothing).
    const std::string whole = source.PlainText(editor::TLineEnd::LF);
    std::vector<std::string_view> lines;
    for (size_t start = 0; start < whole.size();) {
        const size_t end = std::min(whole.find('\n', start), whole.size());
        lines.emplace_back(whole.data() + start, end - start);
        start = end + 1;
    }
    const int count = static_cast<int>(lines.size());
    frmDialog->ZobrazProgress(QString::fromUtf8(text::kImportProgressHead) + QFileInfo(fileName).fileName() +
                                  QString::fromUtf8(text::kImportProgressTail),
                              0, std::max(0, count - 1));
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text.push_back('\r');
        text += PrevodRadku(std::string(lines[static_cast<size_t>(i)]));
        frmDialog->pgBar->setValue(i);
    }
    TTessary& memo = *win->sMemo;
    {
        editor::TCustomTessary::Batch batch(memo.Control());
        memo.Control().SetSelection(0, 0, false);
        memo.Control().ReplaceSel(text);
        memo.Control().SetSelection(0, 0, true);
    }
    frmDialog->Zavrit();
}

// ---- find and replace -------------------------------------------------------------

void TfrmTorvane::actNajitExecute() {
    if (TEditWin* win = ActiveEditWin()) {
        EditorSearchTarget target(*win);
        frmNajit->Hledat(target);
        FocusEditor();
    }
}

void TfrmTorvane::actNajitDalsiExecute() {
    if (TEditWin* win = ActiveEditWin()) {
        EditorSearchTarget target(*win);
        frmNajit->HledatDalsi(target);
    }
}

void TfrmTorvane::actNahraditExecute() {
    if (TEditWin* win = ActiveEditWin()) {
        EditorSearchTarget target(*win);
        frmNajit->Nahradit(target);
        FocusEditor();
    }
}

} // namespace torvane::app
