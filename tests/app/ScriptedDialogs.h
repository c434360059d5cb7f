#pragma once
// Dialog answers for the application tests: every message box, save, open
// and assembler dialog takes its answer from a queue instead of a user, and
// every message shown is recorded.

#include "app/Dialogs.h"
#include "app/dialogs/EditorOptionsDialog.h"

#include <QList>
#include <QStringList>

#include <functional>

#include <optional>

namespace torvane::app::test {

struct ShownMessage {
    QString text;
    MsgKind kind;
    MsgButtons buttons;
    MsgButton defaultButton;
};

class ScriptedDialogs : public AppDialogs {
public:
    // Answers of the message boxes in order; when empty, the default button.
    QList<MsgButton> answers;
    QList<ShownMessage> messages;

    // Names the save dialog tries in order until one may close it; when the
    // list runs out the dialog is cancelled.
    QList<SaveChoice> saveChoices;
    int saveDialogs = 0;
    QStringList openFiles;
    std::optional<int> assembler = 0;

    MsgButton MessageDlgCz(QWidget*, const QString& text, MsgKind kind, MsgButtons buttons, int,
                           MsgButton defaultButton) override {
        messages << ShownMessage{text, kind, buttons, defaultButton};
        return answers.isEmpty() ? defaultButton : answers.takeFirst();
    }

    QStringList OpenFileNames(QWidget*, const QString&) override { return openFiles; }

    std::optional<SaveChoice> SaveFileName(QWidget*,
                                           const std::function<bool(const SaveChoice&)>& mayClose) override {
        ++saveDialogs;
        while (!saveChoices.isEmpty()) {
            SaveChoice choice = saveChoices.takeFirst();
            if (mayClose(choice)) return choice;
        }
        return std::nullopt;
    }

    // `assembler` is the row the user picks; nothing is a cancel.
    std::optional<torvane::platform::Assembler> ChooseAssembler(QWidget*, const QString&) override {
        if (!assembler) return std::nullopt;
        return torvane::platform::AssemblerAt(*assembler).value_or(torvane::platform::Assembler::None);
    }

    // The settings dialog: `settingsEdit` plays the user's changes; nothing
    // set means Storno.
    std::function<void(TMemIniFile&)> settingsEdit;
    bool EditSettings(QWidget*, TMemIniFile& settings) override {
        if (!settingsEdit) return false;
        settingsEdit(settings);
        return true;
    }

    // The editor's options dialog: the real dialog without an event loop of
    // its own; `optionsEdit` plays the user and answers whether OK is
    // pressed. Nothing set means Storno.
    std::function<bool(TEditorOptionsDialog&)> optionsEdit;
    int optionsDialogs = 0;
    bool EditEditorOptions(QWidget* parent, const TTessaryParser& parser, TTE_Settings& settings,
                           unsigned pages, const TTE_Settings* defaults, bool& mono) override {
        ++optionsDialogs;
        if (!optionsEdit) return false;
        TEditorOptionsDialog dialog(parser, settings, pages, defaults, parent);
        dialog.SetMonoPrint(mono);
        dialog.show();
        if (!optionsEdit(dialog)) return false;
        dialog.accept();
        if (dialog.result() != QDialog::Accepted) return false;
        mono = dialog.MonoPrint();
        return true;
    }

    int aboutBoxes = 0;
    void ShowAbout(QWidget*) override { ++aboutBoxes; }

    QString importFile; // empty: the import dialog is cancelled
    QString ImportFileName(QWidget*) override { return importFile; }

    QStringList errorBoxes;
    void ShowErrorBox(QWidget*, const QString& text) override { errorBoxes << text; }
};

} // namespace torvane::app::test
