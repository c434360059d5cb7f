#pragma once
// TEditorOptionsDialog: the editor's own options dialog over a working copy
// of a scheme's settings. It shows the pages asked for (TPropertyPage bits)
// and a preview of the scheme's example text highlighted with the working
// copy. OK commits every page and copies the working copy into the caller's
// settings; Storno leaves them untouched. "Výchozí" brings back the scheme's
// settings as compiled, for all pages at once.

#include "highlight/Parser.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class QTabWidget;

namespace torvane::editor {
class TParserAdapter;
class TSettingsStyleSource;
namespace qt {
class TessaryWidget;
}
} // namespace torvane::editor

namespace torvane::app {

class TOptionsPage;
class THighlightPage;
class TKeysPage;
class TPrintPage;
class TTabsPage;
class TMacroPage;

class TEditorOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    // parser: the scheme whose settings are edited (its tables highlight the
    // preview); settings: the copy that OK overwrites; defaults: the scheme's
    // settings as compiled (null: no "Výchozí").
    TEditorOptionsDialog(const TTessaryParser& parser, TTE_Settings& settings, uint32_t pages,
                         const TTE_Settings* defaults, QWidget* parent = nullptr);
    ~TEditorOptionsDialog() override;

    // Black-and-white printing, edited on the Tisk page.
    bool MonoPrint() const;
    void SetMonoPrint(bool mono);

    // The working copy.
    TTE_Settings& Working() noexcept { return preview_.Settings(); }
    // Restores the scheme's settings as compiled into the working copy.
    void RestoreDefaults();

    void accept() override;

    QTabWidget* pages;
    THighlightPage* highlightPage = nullptr;
    TKeysPage* keysPage = nullptr;
    TPrintPage* printPage = nullptr;
    TTabsPage* tabsPage = nullptr;
    TMacroPage* autoCorrectPage = nullptr;
    TMacroPage* templatesPage = nullptr;
    editor::qt::TessaryWidget* preview = nullptr;
    QPushButton* btnDefaults;
    QLabel* lblError;

private:
    void AddPage(TOptionsPage* page, const QString& title);
    void LoadPages();
    void RefreshPreview();

    TTessaryParser preview_; // the scheme's tables with the working copy as settings
    TTE_Settings& target_;
    const TTE_Settings* defaults_;
    std::vector<TOptionsPage*> pageList_;
    std::unique_ptr<editor::TParserAdapter> adapter_;
    std::unique_ptr<editor::TSettingsStyleSource> styles_;
};

// Runs the dialog modally; true when confirmed (settings then hold the
// result, mono the print choice).
bool RunEditorOptionsDialog(QWidget* parent, const TTessaryParser& parser, TTE_Settings& settings,
                            uint32_t pages, const TTE_Settings* defaults, bool& mono);

} // namespace torvane::app
