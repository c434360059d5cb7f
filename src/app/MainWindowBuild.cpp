// The build command of the main window: the build steps themselves live in
// build/BuildCommand; this file lets them reach the active document window,
// the assembler choice, the message boxes and the progress popup.
//
// The library call runs on a worker thread while the GUI thread waits in a
// local event loop, so the windows keep painting and the popup's "Přerušit"
// works; every other step, and the applying of the log, stays on the GUI
// thread. The main window is disabled by the popup meanwhile.

#include "app/AppLogic.h"
#include "app/AppTexts.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/dialogs/ProgressPopup.h"
#include "assemble/BuildCommand.h"
#include "bridge/Export.h"
#include "editor/TextStore.h"

#include <QEventLoop>
#include <QListWidget>
#include <QPointer>

#include <thread>

namespace torvane::app {
namespace {

class DocumentBuildUi final : public build::BuildUi {
public:
    DocumentBuildUi(TfrmTorvane& main, TEditWin& win, TfrmDialog& progress)
        : main_(main), win_(win), progress_(progress) {}

    // A file name goes to the bridge in the local 8-bit encoding; an untitled
    // name is no file but the program's own UTF-8 text, which the build
    // command must recognise to refuse it where the two encodings differ.
    std::string DocumentFileName() const override {
        return IsUntitled(win_.FileName) ? win_.FileName.toStdString()
                                         : win_.FileName.toLocal8Bit().toStdString();
    }
    std::string DocumentFirstLine() const override { return win_.sMemo->Store().LineText(0); }

    platform::Assembler AskAssembler(const std::string& caption) override {
        return main_.Dialogs()
            .ChooseAssembler(&main_, QString::fromUtf8(caption))
            .value_or(platform::Assembler::None);
    }

    void InsertFirstLine(const std::string& line) override { win_.sMemo->InsertFirstLine(line); }

    void ShowError(const std::string& text) override {
        main_.MessageDlgCz(QString::fromUtf8(text), MsgKind::Error, mbOK, mbOK);
    }

    void ShowProgress(const std::string& text) override {
        progress_.ZobrazText(QString::fromUtf8(text), true);
    }

    uint8_t RunCall(const std::function<uint8_t()>& call, const std::function<void()>& cancel) override {
        uint8_t result = bridge::kCallFailed;
        QEventLoop loop;
        const auto connection =
            QObject::connect(&progress_, &TfrmDialog::Prerusit, &loop, [&cancel] { cancel(); });
        std::thread worker([&] {
            try {
                result = call();
            } catch (...) {
                result = bridge::kCallFailed;
            }
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        worker.join();
        QObject::disconnect(connection);
        return result;
    }
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
    // The build's local event loop must not start a second build.
    if (building_) return;
    TEditWin* win = ActiveEditWin();
    if (!win) return;
    building_ = true;
    QPointer<TEditWin> guard(win);
    try {
        DocumentBuildUi ui(*this, *win, *frmDialog);
        build::RunBuild(ui, *settings_, programDirectory_.toLocal8Bit().toStdString());
    } catch (const std::exception& e) {
        frmDialog->Zavrit();
        MessageDlgCz(QString::fromUtf8(e.what()), MsgKind::Error, mbOK, mbOK);
    }
    building_ = false;
    if (guard) guard->sMemo->setFocus();
}

} // namespace torvane::app
