// The main window's care for the user's work beyond plain saving: files that
// another program changes while they are open, and the recovery of unsaved
// text after the program was killed or crashed.
#include "app/AppLogic.h"
#include "app/AppTexts.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/logic/Recovery.h"
#include "editor/TextStore.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <functional>

namespace torvane::app {
namespace {

constexpr int kRecoveryIntervalMs = 30000;

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

// ---- outside changes ------------------------------------------------------------

void TfrmTorvane::TakeStamp(TEditWin& win) {
    win.Stamp = IsUntitled(win.FileName) ? platform::FileStamp{} : platform::StampOf(Native(win.FileName));
}

bool TfrmTorvane::CheckOutsideChange(TEditWin& win, bool beforeSave) {
    if (checkingOutside_ || IsUntitled(win.FileName) || !win.Stamp.exists) return true;
    const std::string path = Native(win.FileName);
    const platform::FileStamp now = platform::StampOf(path);
    if (now == win.Stamp) return true;
    // A file that is gone is simply written again by a save; on focus the
    // user hears of it once.
    if (!platform::FileExists(path)) {
        if (!beforeSave) {
            win.Stamp = now;
            checkingOutside_ = true;
            MessageDlgCz(FormatCz(text::kDeletedOutside, win.FileName), MsgKind::Warning, mbOK, mbOK);
            checkingOutside_ = false;
        }
        return true;
    }
    checkingOutside_ = true;
    const MsgButton answer = MessageDlgCz(FormatCz(text::kChangedOutside, win.FileName),
                                          MsgKind::Confirmation, mbYes | mbNo | mbCancel, mbNo);
    checkingOutside_ = false;
    switch (answer) {
    case mbYes: {
        QString error;
        if (!win.sMemo->LoadFromFile(win.FileName, &error)) {
            MessageDlgCz(error, MsgKind::Error, mbOK, mbOK);
            return false;
        }
        TakeStamp(win);
        ForgetRecovery(win);
        win.SetHighlighter(win.HighlightAssembler);
        sMemoNastav(win);
        win.sMemoChange();
        return false;
    }
    case mbNo:
        // Mine stays; the next save overwrites theirs without asking again.
        win.Stamp = now;
        return true;
    default:
        return false;
    }
}

// ---- recovery ---------------------------------------------------------------------

void TfrmTorvane::SetRecoveryFolder(const std::string& folder) {
    recovery_ = std::make_unique<TRecoveryStore>(folder);
}

void TfrmTorvane::SetRecoveryInterval(int milliseconds) {
    recoveryTimer_->setInterval(milliseconds > 0 ? milliseconds : kRecoveryIntervalMs);
}

void TfrmTorvane::NoteDocumentChange() {
    if (!recoveryTimer_->isActive()) recoveryTimer_->start();
}

void TfrmTorvane::WriteRecovery() {
    recoveryTimer_->stop();
    if (!recovery_ || (!recovery_->Ready() && !recovery_->Prepare())) return;
    for (TEditWin* win : EditWindows()) {
        if (!win->sMemo->Modified()) {
            ForgetRecovery(*win);
            continue;
        }
        const std::string text = win->sMemo->Store().Text();
        const size_t hash = std::hash<std::string>{}(text) | 1; // never 0, which means "none"
        if (hash == win->RecoveryHash) continue;
        if (win->RecoveryId == 0) win->RecoveryId = nextRecoveryId_++;
        if (recovery_->Write(win->RecoveryId, win->FileName.toLocal8Bit().toStdString(), text))
            win->RecoveryHash = hash;
    }
}

void TfrmTorvane::ForgetRecovery(TEditWin& win) {
    if (win.RecoveryHash == 0) return;
    if (recovery_) recovery_->Remove(win.RecoveryId);
    win.RecoveryHash = 0;
}

int TfrmTorvane::OfferRecovery() {
    if (!recovery_ || (!recovery_->Ready() && !recovery_->Prepare())) return 0;
    int restored = 0;
    for (const RecoveryEntry& entry : recovery_->Pending()) {
        const QString name = QString::fromLocal8Bit(entry.originalName);
        if (MessageDlgCz(FormatCz(text::kRecoverOffer, name), MsgKind::Confirmation, mbYes | mbNo, mbYes) ==
            mbYes) {
            RestoreRecoveredDocument(entry.originalName, entry.text);
            ++restored;
        }
        TRecoveryStore::Discard(entry);
    }
    // The restored text is unsaved work again: keep it safe at once.
    if (restored > 0) WriteRecovery();
    return restored;
}

void TfrmTorvane::RestoreRecoveredDocument(const std::string& originalName, const std::string& text) {
    QString name = QString::fromLocal8Bit(originalName);
    QStringList names;
    for (const TEditWin* win : EditWindows())
        names << win->FileName;
    const bool untitled = IsUntitled(name);
    if (untitled && names.contains(name)) name = UntitledName(names);
    if (untitled) {
        CreateEditor(name, true);
    } else if (WindowExists(name)) {
        ZobrazOkno(name);
    } else {
        CreateEditor(name, false);
    }
    TEditWin* win = ActiveEditWin();
    if (!win || win->FileName != name) return;
    // An edit over what was loaded: the document is modified, and undo
    // leads back to the file as it is on disk.
    TTessary& memo = *win->sMemo;
    {
        // Reported once the document has its scheme and settings.
        editor::TCustomTessary::Batch batch(memo.Control());
        memo.Control().SetSelection(0, memo.Store().TextLength(), false);
        memo.Control().ReplaceSel(text);
        memo.Control().SetSelection(0, 0, true);
        win->SetHighlighter(GetCompiler());
        sMemoNastav(*win);
    }
    win->sMemoChange();
}

void TfrmTorvane::OnTerminationRequest(bool haveDisplay) {
    WriteRecovery();
    if (haveDisplay) {
        BringToForeground();
        close(); // the close questions; a clean close removes the recovery files
        return;
    }
    // Nobody to ask: the recovery files stay for the next start.
    QApplication::exit(0);
}

} // namespace torvane::app
