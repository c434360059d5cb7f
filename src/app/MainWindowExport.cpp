// The main window's export commands: the active document written as an HTML
// page or an RTF document in its current highlighting.
#include "app/AppLogic.h"
#include "app/AppTexts.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/TessaryControl.h"
#include "editor/TextStore.h"

namespace torvane::app {

void TfrmTorvane::actExportHTMLExecute() {
    ExportActive(false);
}

void TfrmTorvane::actExportRTFExecute() {
    ExportActive(true);
}

void TfrmTorvane::ExportActive(bool rtf) {
    TEditWin* win = ActiveEditWin();
    if (!win) return;
    const QString extension = rtf ? QStringLiteral(".rtf") : QStringLiteral(".html");
    const std::optional<SaveChoice> choice =
        dialogs_.ExportFileName(this, rtf ? text::kRtfFilter : text::kHtmlFilter, [&](const SaveChoice& c) {
            return NameMayBeWritten(WithDefaultExtension(c.fileName, c.filterIndex, extension));
        });
    if (!choice) return;
    const QString name = WithDefaultExtension(choice->fileName, choice->filterIndex, extension);
    QString error;
    if (!win->sMemo->ExportToFile(name, rtf ? editor::sfRTF : editor::sfHTML, &error))
        MessageDlgCz(FormatCz(text::kCannotExport, name) + QLatin1Char('\r') + error, MsgKind::Error, mbOK,
                     mbOK);
}

} // namespace torvane::app
