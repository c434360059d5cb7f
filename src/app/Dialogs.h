#pragma once
// Every dialog the application windows open goes through AppDialogs, so the
// flows can be driven by tests that answer the dialogs instead of a user.
// QtAppDialogs is the real implementation.

#include "platform/Names.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace torvane {
class TMemIniFile;
class TTessaryParser;
class TTE_Settings;
} // namespace torvane

namespace torvane::app {

// Kind of a message box; it chooses the Czech title and the icon.
enum class MsgKind { Warning, Error, Information, Confirmation };

// Buttons and results of a message box (results equal their button).
enum MsgButton : unsigned {
    mbNone = 0,
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
};
using MsgButtons = unsigned;

// The Czech caption of a button ("&Ano", "S&torno" ...).
QString CzechButtonCaption(MsgButton button);
// The title of a message box of that kind ("Chyba" ...).
QString CzechTitle(MsgKind kind);

// The chosen name of a save dialog and its filter (1-based, as in the
// filter string).
struct SaveChoice {
    QString fileName;
    int filterIndex = 1;
};

class AppDialogs {
public:
    virtual ~AppDialogs() = default;

    // The Czech message box: returns the button pressed (mbCancel when the
    // box was closed otherwise and Cancel is offered, else the default).
    virtual MsgButton MessageDlgCz(QWidget* parent, const QString& text, MsgKind kind, MsgButtons buttons,
                                   int helpContext, MsgButton defaultButton) = 0;

    // Open dialog over the *.asm filter, several files may be chosen. Empty
    // when cancelled.
    virtual QStringList OpenFileNames(QWidget* parent, const QString& startDirectory) = 0;

    // Save dialog starting with filter 1. Before it closes with a name,
    // `mayClose` is asked; false keeps the dialog open for another choice.
    // Nothing when cancelled.
    virtual std::optional<SaveChoice>
    SaveFileName(QWidget* parent, const std::function<bool(const SaveChoice&)>& mayClose) = 0;

    // Save dialog of an export over a filter string of AppTexts.h (filter 1
    // preselected); mayClose as for SaveFileName. Dialogs that do not tell
    // the two apart answer as SaveFileName does.
    virtual std::optional<SaveChoice> ExportFileName(QWidget* parent, const char* /*filter*/,
                                                     const std::function<bool(const SaveChoice&)>& mayClose) {
        return SaveFileName(parent, mayClose);
    }

    // The assembler choice dialog (TfrmNovyS) with the given caption: the
    // chosen assembler index, nothing when cancelled.
    virtual std::optional<platform::Assembler> ChooseAssembler(QWidget* parent, const QString& caption) = 0;

    // The settings dialog over the settings object; true when closed with OK
    // (the dialog has then written its keys).
    virtual bool EditSettings(QWidget* parent, TMemIniFile& settings) = 0;

    // The editor's options dialog over a copy of a scheme's settings with the
    // pages asked for (TPropertyPage bits); defaults are the scheme's settings
    // as compiled (null: none to return to), mono the black-and-white print
    // choice. True when confirmed: settings and mono then hold the result.
    // Dialog stand-ins that do not show it answer Storno.
    virtual bool EditEditorOptions(QWidget* /*parent*/, const TTessaryParser& /*parser*/,
                                   TTE_Settings& /*settings*/, unsigned /*pages*/,
                                   const TTE_Settings* /*defaults*/, bool& /*mono*/) {
        return false;
    }

    // The about box.
    virtual void ShowAbout(QWidget* parent) = 0;

    // Open dialog of the import: one file, filter 2 (all files) preselected.
    // Empty when cancelled.
    virtual QString ImportFileName(QWidget* parent) = 0;

    // The platform's plain error box (English title, OK), for failures the
    // program reports outside its Czech message box.
    virtual void ShowErrorBox(QWidget* parent, const QString& text) = 0;
};

class QtAppDialogs final : public AppDialogs {
public:
    MsgButton MessageDlgCz(QWidget* parent, const QString& text, MsgKind kind, MsgButtons buttons,
                           int helpContext, MsgButton defaultButton) override;
    QStringList OpenFileNames(QWidget* parent, const QString& startDirectory) override;
    std::optional<SaveChoice> SaveFileName(QWidget* parent,
                                           const std::function<bool(const SaveChoice&)>& mayClose) override;
    std::optional<SaveChoice> ExportFileName(QWidget* parent, const char* filter,
                                             const std::function<bool(const SaveChoice&)>& mayClose) override;
    std::optional<platform::Assembler> ChooseAssembler(QWidget* parent, const QString& caption) override;
    bool EditSettings(QWidget* parent, TMemIniFile& settings) override;
    bool EditEditorOptions(QWidget* parent, const TTessaryParser& parser, TTE_Settings& settings,
                           unsigned pages, const TTE_Settings* defaults, bool& mono) override;
    void ShowAbout(QWidget* parent) override;
    QString ImportFileName(QWidget* parent) override;
    void ShowErrorBox(QWidget* parent, const QString& text) override;
};

} // namespace torvane::app
