// Printing a document: on the default printer when the system has one, else
// into a PDF file beside the document (the usual case on a desktop without
// a printer set up), with the same page layout either way.

#include "app/AppLogic.h"
#include "app/AppTexts.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "editor/PdfSurface.h"
#include "editor/qt/QtPrinting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

namespace torvane::app {
namespace {

// "dir/name.asm" -> "dir/name.pdf"; a name without a suffix gets ".pdf".
QString PdfBeside(const QString& fileName) {
    const QFileInfo info(fileName);
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    return info.dir().filePath(base + QStringLiteral(".pdf"));
}

} // namespace

void TfrmTorvane::actTiskExecute() {
    if (TEditWin* win = ActiveEditWin()) PrintDocument(*win, true);
}

void TfrmTorvane::PrintDocument(TEditWin& win, bool wholeText) {
    // Reached from key handlers too: nothing may escape.
    try {
        if (editor::qt::HasDefaultPrinter()) {
            editor::qt::TQtPrinterSurface printer;
            if (!win.sMemo->Print(printer, wholeText, win.FileName).ok)
                MessageDlgCz(FormatCz(text::kPrintFailed, win.FileName), MsgKind::Error, mbOK, mbOK);
            return;
        }
        QString target;
        if (IsUntitled(win.FileName)) {
            const auto choice = dialogs_.SaveFileName(this, [](const SaveChoice&) { return true; });
            if (!choice) return;
            target = PdfBeside(choice->fileName);
        } else {
            target = PdfBeside(win.FileName);
        }
        editor::TPdfSurface pdf(QFile::encodeName(target).toStdString());
        if (win.sMemo->Print(pdf, wholeText, win.FileName).ok)
            MessageDlgCz(FormatCz(text::kPrintedToPdf, target), MsgKind::Information, mbOK, mbOK);
        else
            MessageDlgCz(FormatCz(text::kPdfNotWritten, target), MsgKind::Error, mbOK, mbOK);
    } catch (const std::exception&) {
        MessageDlgCz(FormatCz(text::kPrintFailed, win.FileName), MsgKind::Error, mbOK, mbOK);
    }
}

} // namespace torvane::app
