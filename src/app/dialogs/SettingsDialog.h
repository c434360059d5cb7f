#pragma once
// TfrmNastaveni: the settings dialog. Three pages (editor, the 8051
// assembler, the AVR assembler); "Ok" writes every key from the controls as
// they are, "Storno" writes nothing.

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace torvane {
class TMemIniFile;
}

namespace torvane::app {

// The folder and file choosers the dialog uses; tests answer them.
struct SettingsChoosers {
    // The toolkit's directory-only chooser with the given title.
    std::function<std::optional<QString>(QWidget* parent, const QString& title)> browseForFolder;
    // An open dialog that only lets a file named `programName` be chosen.
    std::function<std::optional<QString>(QWidget* parent, const QString& programName)> chooseProgram;
    static SettingsChoosers Native();
};

class TfrmNastaveni : public QDialog {
    Q_OBJECT
public:
    TfrmNastaveni(TMemIniFile& settings, SettingsChoosers choosers, QWidget* owner = nullptr);

    // One assembler page's controls.
    struct AssemblerPage {
        QRadioButton* rbHex = nullptr;
        QRadioButton* rbBin = nullptr;
        QLineEdit* edPath = nullptr;
        QPushButton* btnBrowse = nullptr;
        QListWidget* lstLib = nullptr;
        QPushButton* btnSmazat = nullptr;
        QPushButton* btnPridat = nullptr;
    };

    QTabWidget* pages = nullptr;
    QCheckBox* chkEngKey = nullptr;
    QSpinBox* spnFontSize = nullptr;
    QLineEdit* edTabs = nullptr;
    QLabel* lblTabsError = nullptr; // what is wrong with edTabs, shown on Ok
    QLineEdit* edData = nullptr;
    QPushButton* btnData = nullptr;
    AssemblerPage asem51;
    AssemblerPage avrasm;
    QPushButton* btnOk = nullptr;
    QPushButton* btnStorno = nullptr;

private:
    QWidget* BuildEditorPage();
    QWidget* BuildAssemblerPage(AssemblerPage& page, const QString& assemblerLabel, const QString& browseHint,
                                const QString& programName);
    void Fill();
    void WriteAndAccept();

    TMemIniFile& settings_;
    SettingsChoosers choosers_;
};

} // namespace torvane::app
