#pragma once
// Automatické opravy and Šablony: the auto-replace table (word and its
// replacement) or the code templates (name, description and text, where the
// first "|" marks the caret), with add, change and delete; the auto-replace
// table's trigger text, the templates' hot key, and whether each is active.
// The rows are kept here and written into the working copy by Commit.

#include "app/dialogs/OptionsPage.h"

#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace torvane::app {

class TMacroPage final : public TOptionsPage {
    Q_OBJECT
public:
    enum class Kind { AutoCorrect, Templates };

    TMacroPage(Kind kind, QWidget* parent = nullptr);
    void Load(const TTE_Settings& settings) override;
    bool Commit(TTE_Settings& settings, QString& error) override;

    // The edit fields as a new row (or the row of the same name replaced);
    // false with the reason shown when the name cannot be one.
    bool AddFromFields();
    bool ChangeSelected();
    void RemoveSelected();

    QTableWidget* tblMacros;
    QLineEdit* edtName;
    QLineEdit* edtDescription; // templates only
    QPlainTextEdit* edtText;
    QLineEdit* edtTrigger; // the trigger text (auto-replace) or the hot key (templates)
    QCheckBox* chkEnabled;
    QPushButton *btnAdd, *btnChange, *btnRemove;

private:
    struct Row {
        std::string name, description, expansion;
        bool caseSensitive = false;
    };
    bool RowFromFields(Row& row);
    void ShowRows();
    void ShowSelected();
    void ShowProblem(const QString& text);

    Kind kind_;
    std::vector<Row> rows_;
};

} // namespace torvane::app
