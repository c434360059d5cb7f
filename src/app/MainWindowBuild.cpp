// The build command of the main window: the build steps themselves live in
// build/BuildCommand; this file lets them reach the active document window,
// the assembler choice, the message boxes and the progress popup.

#include "app/AppTexts.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/dialogs/ProgressPopup.h"
#include "build/BuildCommand.h"
#include "editor/TextStore.h"

#include <QListWidget>

namespace torvane::app {
namespace {

class DocumentBuildUi final : public build::BuildUi {
public:
    DocumentBuildUi(TfrmTorvane& main, TEditWin& win, TfrmDialog& progress)
        : main_(main), win_(win), progress_(progress) {}

    std::string DocumentFileName() const override { return win_.FileName.toLocal8Bit().toStdString(); }
    std::string DocumentFirstLine() const override { return win_.sMemo->Store().LineText(0); }

    int AskAssembler(const std::string& caption) override {
        return main_.Dialogs().ChooseAssembler(&main_, QString::fromUtf8(caption)).value_or(0);
    }

    void InsertFirstLine(const std::string& line) override { win_.sMemo->InsertFirstLine(line); }

    void ShowError(const std::string& text) override {
        main_.MessageDlgCz(QString::fromUtf8(text), MsgKind::Error, mbOK, mbOK);
    }

    void ShowProgress(const std::string& text) override { progress_.ZobrazText(QString::fromUtf8(text)); }
    void HideProgress() override { progress_.Zavrit(); }

    // Log lines name files as the file system spells them, so they are read
    // in the local 8-bit encoding, as file names are.
    void SetMessages(const std::vector<std::string>& lines) override {
        win_.lstBox->clear();
        for (const std::string& line : lines)
            win_.lstBox->addItem(QString::fromLocal8Bit(line));
    }
    void AppendMessage(const std::string& line) override { win_.lstBox->addItem(QString::fromUtf8(line)); }

private:
    TfrmTorvane& main_;
    TEditWin& win_;
    TfrmDialog& progress_;
};

} // namespace

void TfrmTorvane::actPrelozitExecute() {
    TEditWin* win = ActiveEditWin();
    if (!win) return;
    DocumentBuildUi ui(*this, *win, *frmDialog);
    build::RunBuild(ui, *settings_, programDirectory_.toLocal8Bit().toStdString());
}

} // namespace torvane::app
