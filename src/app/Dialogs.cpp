#include "app/Dialogs.h"

#include "app/AppLogic.h"
#include "app/AppTexts.h"
#include "app/NovyS.h"
#include "app/dialogs/AboutBox.h"
#include "app/dialogs/EditorOptionsDialog.h"
#include "app/dialogs/JpegImage.h"
#include "app/dialogs/SettingsDialog.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <array>
#include <utility>

namespace torvane::app {
namespace {

struct ButtonRow {
    MsgButton button;
    QMessageBox::StandardButton standard;
    const char* caption;
};

constexpr std::array<ButtonRow, 11> kButtons{{
    {mbYes, QMessageBox::Yes, "&Ano"},
    {mbNo, QMessageBox::No, "&Ne"},
    {mbOK, QMessageBox::Ok, "&OK"},
    {mbCancel, QMessageBox::Cancel, "S&torno"},
    {mbAbort, QMessageBox::Abort, "Z&rušit"},
    {mbRetry, QMessageBox::Retry, "&Znovu"},
    {mbIgnore, QMessageBox::Ignore, "&Ignorovat"},
    // Qt has no plain "All" button; SaveAll stands in for it.
    {mbAll, QMessageBox::SaveAll, "&Vše"},
    {mbNoToAll, QMessageBox::NoToAll, "N&e všem"},
    {mbYesToAll, QMessageBox::YesToAll, "Ano vše&m"},
    {mbHelp, QMessageBox::Help, "Ná&pověda"},
}};

// A save dialog that asks before it closes, so a refused name keeps it open.
class CheckedSaveDialog : public QFileDialog {
public:
    CheckedSaveDialog(QWidget* parent, std::function<bool(const SaveChoice&)> mayClose)
        : QFileDialog(parent), mayClose_(std::move(mayClose)) {}

    SaveChoice Choice() const {
        SaveChoice choice;
        choice.fileName = selectedFiles().value(0);
        choice.filterIndex = static_cast<int>(nameFilters().indexOf(selectedNameFilter())) + 1;
        if (choice.filterIndex < 1) choice.filterIndex = 1;
        return choice;
    }

    void accept() override {
        const SaveChoice choice = Choice();
        // A directory typed into the name field is entered, not chosen.
        if (choice.fileName.isEmpty() || QFileInfo(choice.fileName).isDir() || mayClose_(choice))
            QFileDialog::accept();
    }

private:
    std::function<bool(const SaveChoice&)> mayClose_;
};

} // namespace

QString CzechButtonCaption(MsgButton button) {
    for (const ButtonRow& row : kButtons)
        if (row.button == button) return QString::fromUtf8(row.caption);
    return QString();
}

QString CzechTitle(MsgKind kind) {
    switch (kind) {
    case MsgKind::Warning:
        return QString::fromUtf8(text::kTitleWarning);
    case MsgKind::Error:
        return QString::fromUtf8(text::kTitleError);
    case MsgKind::Information:
        return QString::fromUtf8(text::kTitleInformation);
    case MsgKind::Confirmation:
        return QString::fromUtf8(text::kTitleConfirmation);
    }
    return QString();
}

MsgButton QtAppDialogs::MessageDlgCz(QWidget* parent, const QString& text, MsgKind kind, MsgButtons buttons,
                                     int /*helpContext: there is no help file*/, MsgButton defaultButton) {
    QMessageBox box(parent);
    box.setWindowTitle(CzechTitle(kind));
    box.setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (kind) {
    case MsgKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        break;
    }
    if (buttons == mbNone) buttons = mbOK;
    for (const ButtonRow& row : kButtons) {
        if (!(buttons & row.button)) continue;
        QAbstractButton* b = box.addButton(row.standard);
        b->setText(QString::fromUtf8(row.caption));
        if (row.button == defaultButton) {
            box.setDefaultButton(row.standard);
            b->setFocus();
        }
    }
    box.exec();
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const ButtonRow& row : kButtons)
        if (row.standard == clicked) return row.button;
    return (buttons & mbCancel) ? mbCancel : defaultButton;
}

QStringList QtAppDialogs::OpenFileNames(QWidget* parent, const QString& startDirectory) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(QtFileFilter(text::kAsmFilter));
    dialog.setSizeGripEnabled(true);
    if (!startDirectory.isEmpty()) dialog.setDirectory(startDirectory);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

std::optional<SaveChoice> QtAppDialogs::SaveFileName(QWidget* parent,
                                                     const std::function<bool(const SaveChoice&)>& mayClose) {
    return ExportFileName(parent, text::kAsmFilter, mayClose);
}

std::optional<SaveChoice>
QtAppDialogs::ExportFileName(QWidget* parent, const char* filter,
                             const std::function<bool(const SaveChoice&)>& mayClose) {
    CheckedSaveDialog dialog(parent, mayClose);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Our own check asks about overwriting, and it must run inside accept().
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(QtFileFilter(filter));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

std::optional<platform::Assembler> QtAppDialogs::ChooseAssembler(QWidget* parent, const QString& caption) {
    TfrmNovyS dialog(parent);
    if (!caption.isEmpty()) dialog.setWindowTitle(caption);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Chosen();
}

bool QtAppDialogs::EditSettings(QWidget* parent, TMemIniFile& settings) {
    TfrmNastaveni dialog(settings, SettingsChoosers::Native(), parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtAppDialogs::EditEditorOptions(QWidget* parent, const TTessaryParser& parser, TTE_Settings& settings,
                                     unsigned pages, const TTE_Settings* defaults, bool& mono) {
    return RunEditorOptionsDialog(parent, parser, settings, pages, defaults, mono);
}

void QtAppDialogs::ShowAbout(QWidget* parent) {
    TfrmOprog about(LoadLogoFromResourceLibrary(), parent);
    about.exec();
}

QString QtAppDialogs::ImportFileName(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = QtFileFilter(text::kAsmFilter).split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    if (filters.size() > 1) dialog.selectNameFilter(filters[1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void QtAppDialogs::ShowErrorBox(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QString::fromUtf8(text::kImportErrorTitle), text, QMessageBox::Ok);
}

} // namespace torvane::app
