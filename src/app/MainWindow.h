#pragma once
// TfrmTorvane: the main window, an MDI frame whose children are document
// windows (TEditWin). It owns the actions with their menus and toolbar, the
// tab strip of open files, the status bar, the settings file "Torvane.ini"
// beside the program (read at creation, written when the window is
// destroyed) and every flow that acts on the set of documents: new, open,
// save, save as, close, close all, and the hand-over of a file from a second
// instance.

#include "app/Dialogs.h"

#include <QList>
#include <QMainWindow>

#include <array>
#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTabBar;
class QToolBar;
class QToolButton;

namespace torvane {
class TMemIniFile;
namespace platform {
struct CopyDataRecord;
}
} // namespace torvane

namespace torvane::app {

class TEditWin;
class TfrmDialog;
class TfrmNajit;

class TfrmTorvane : public QMainWindow {
    Q_OBJECT
public:
    // programDirectory ends with a separator; the settings file is read from
    // it. The dialogs object must outlive the window.
    TfrmTorvane(AppDialogs& dialogs, const QString& programDirectory, QWidget* parent = nullptr);
    ~TfrmTorvane() override;

    AppDialogs& Dialogs() { return dialogs_; }
    TMemIniFile& Settings() { return *settings_; }
    const QString& ProgramDirectory() const { return programDirectory_; }

    // Document operations.
    void CreateEditor(const QString& fileName, bool isNew, int assemblerIndex);
    bool SaveFile(const QString& fileName);
    bool WindowExists(const QString& fileName) const;
    void ZobrazOkno(const QString& fileName);
    void EnableEditorAct(bool enabled);
    int GetCompiler() const;
    void sMemoNastav(TEditWin& win);

    TEditWin* ActiveEditWin() const;
    QList<TEditWin*> EditWindows() const; // in the order of their tabs
    QMdiSubWindow* SubWindowOf(const TEditWin* win) const;

    // The first command-line argument once the window is shown, and a file
    // name handed over by a second instance.
    void OpenCommandLineFile(const QString& argument);
    void HandleCopyData(const platform::CopyDataRecord& record);
    void BringToForeground();

    // Recent files: rebuild the entries under a menu, put a path at the
    // front, open an entry's path.
    void NactiHistorii(QMenu* menu);
    void PridejHistorii(const QString& fileName);
    void HistorieClick(const QString& fileName);

    // The Czech message box with this window as parent.
    MsgButton MessageDlgCz(const QString& text, MsgKind kind, MsgButtons buttons, MsgButton defaultButton);

    // Status panel 0..4.
    QLabel* StatusPanel(int index) const { return panels_[static_cast<size_t>(index)]; }
    void ClearStatusPanels();
    // Checks the highlighting menu item with that tag (1..3).
    void CheckHighlightItem(int tag);
    // Selects the tab whose text equals the name (exact), if any.
    void SelectTab(const QString& fileName);
    void RemoveTab(const QString& fileName);
    // Window title of the main window for the active document.
    void UpdateTitle();

    // Actions (objectName = action name).
    QAction *actNovy, *actOtevrit, *actImport, *actUlozit, *actUlozitJako, *actZavrit, *actZavritVse,
        *actNastaveni, *actZpet, *actZnovu, *actKopirovat, *actVyjmout, *actVlozit, *actComment,
        *actUnComment, *actVybratVse, *actNajit, *actNajitDalsi, *actNahradit, *actPrelozit, *actKaskada,
        *actHorizontalne, *actVertikalne, *actOprogramu, *actKonec;
    // Highlighting menu items, tags 1..3.
    std::array<QAction*, 3> mnItmHighlight{};

    QMdiArea* mdiArea;
    QTabBar* tabConSoubory;
    QToolBar* tlbTabs; // the band that holds the tab strip
    QMenu* mnItmHistorie;
    QMenu* popOtevrit;     // drop-down of the toolbar's Otevřít button
    QMenu* popEditor;      // context menu of the editors
    QMenu* popTab;         // right-click menu of the tab strip
    TfrmDialog* frmDialog; // progress popup of the build

public slots:
    void actNovyExecute();
    void actOtevritExecute();
    void actUlozitExecute();
    void actUlozitJakoExecute();
    void actZavritExecute();
    void actZavritVseExecute();
    void actZpetExecute();
    void actZnovuExecute();
    void actKopirovatExecute();
    void actVyjmoutExecute();
    void actVlozitExecute();
    void actVybratVseExecute();
    void actKaskadaExecute();
    void actHorizontalneExecute();
    void actVertikalneExecute();
    void actOprogramuExecute();
    void actNastaveniExecute();
    void actPrelozitExecute();
    // Comment toggling, import, find and replace (MainWindowText.cpp).
    void actCommentExecute();
    void actUnCommentExecute();
    void actImportExecute();
    void actNajitExecute();
    void actNajitDalsiExecute();
    void actNahraditExecute();

public:
    // Reads a text file into a new untitled document, every line laid out
    // by PrevodRadku, under the progress popup.
    void Import(const QString& fileName);

    TfrmNajit* frmNajit; // the find and replace dialog, reused for the whole run

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void ReadWindowSettings();
    void WriteWindowSettings();
    bool SaveAsNameMayClose(const SaveChoice& choice);
    void tabConSouboryChange(int index);
    void tabConSouboryMouseUp(const QPoint& pos);
    void mnItmHighlightClick(QAction* item);
    void appEventsHint(const QString& hint);
    void OnSubWindowActivated(QMdiSubWindow* sub);
    void RebuildWindowMenu();
    void TileWindows(Qt::Orientation orientation);
    void SetStepHint(QAction* action, const char* prefix, int kind);
    void ToggleComment(bool comment);

    AppDialogs& dialogs_;
    QString programDirectory_;
    std::unique_ptr<TMemIniFile> settings_;
    std::array<QLabel*, 5> panels_{};
    QActionGroup* highlightGroup_ = nullptr;
    QMenu* mnuOkno_ = nullptr;
    QList<QAction*> windowListActions_;
    bool selectingTab_ = false; // a tab is being selected by code
    bool building_ = false;     // a build's library call is running
};

} // namespace torvane::app
