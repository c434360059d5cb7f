#pragma once
// TfrmTorvane: the main window, an MDI frame whose children are document
// windows (TEditWin). It owns the actions with their menus and toolbar, the
// tab strip of open files, the status bar, the settings file "Torvane.ini"
// (beside a portable program, in the user's settings folder of an installed
// one; read at creation, written when the window is destroyed) and every flow that acts on the set of
// documents: new, open, save, save as, close, close all, and the hand-over of a file from a second instance.

#include "app/Dialogs.h"
#include "platform/Names.h"
#include "platform/ProgramLayout.h"

#include <QFile>
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
class QTimer;

namespace torvane {
class TMemIniFile;
class TTessaryParser;
class TTE_Settings;
namespace platform {
struct CopyDataRecord;
}
} // namespace torvane

namespace torvane::app {

class TEditWin;
class TRecoveryStore;
class TfrmDialog;
class TfrmNajit;
class TNavigator;

class TfrmTorvane : public QMainWindow {
    Q_OBJECT
public:
    // programDirectory ends with a separator; the program's parts and its
    // settings file are found from it (platform/ProgramLayout.h). The
    // dialogs object must outlive the window.
    TfrmTorvane(AppDialogs& dialogs, const QString& programDirectory, QWidget* parent = nullptr);
    ~TfrmTorvane() override;

    AppDialogs& Dialogs() { return dialogs_; }
    TMemIniFile& Settings() { return *settings_; }
    const QString& ProgramDirectory() const { return programDirectory_; }
    // Where Scripts/ and the device headers are, ending with a separator.
    QString DataDirectory() const { return QFile::decodeName(layout_.dataDir.c_str()); }
    // Where the bridge and the assembler front ends (with their device
    // headers) are, in the file system's bytes, ending with a separator.
    const std::string& LibraryDirectoryBytes() const { return layout_.libraryDir; }

    // Document operations.
    void CreateEditor(const QString& fileName, bool isNew,
                      platform::Assembler assembler = platform::Assembler::None);
    // Opens each file as a document and puts it among the recent files, as
    // Otevřít does (also for files dropped on an editor).
    void OpenFiles(const QStringList& files);
    // Files dropped from outside: the regular files among them open as
    // documents once the drop has ended (a folder is no document).
    void OpenDroppedFiles(const QStringList& names);
    bool SaveFile(const QString& fileName);
    bool WindowExists(const QString& fileName) const;
    void ZobrazOkno(const QString& fileName);
    void EnableEditorAct(bool enabled);
    // Prints a document's selection (or all of it) on the default printer;
    // without one, into a PDF file beside the document, and says where.
    void PrintDocument(TEditWin& win, bool wholeText);
    platform::Assembler GetCompiler() const;
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
    // Shows text in a panel. A fixed-width panel grows to show all of it (the
    // caret position in a file of millions of lines) and keeps that width,
    // so the bar does not jump back and forth as the caret moves.
    void SetStatusText(int index, const QString& text);
    void ClearStatusPanels();
    // Checks the highlighting menu item with that tag (1..3).
    void CheckHighlightItem(platform::Assembler assembler);
    // Selects the tab whose text equals the name (exact), if any.
    void SelectTab(const QString& fileName);
    void RemoveTab(const QString& fileName);
    // Window title of the main window for the active document.
    void UpdateTitle();
    // Gives the keyboard back to the active document's editor (after a dialog).
    void FocusEditor();

    // Outside changes (MainWindowSafety.cpp). Compares the document's file
    // with its stamp; on a change asks whether to load it again. False when
    // the caller should not go on (the user reloaded or cancelled).
    bool CheckOutsideChange(TEditWin& win, bool beforeSave);
    // Takes the stamp of the document's file as it is now.
    void TakeStamp(TEditWin& win);

    // Recovery of unsaved work (MainWindowSafety.cpp). Nothing is written
    // until a folder is set (the program sets the user's); the interval
    // counts from the first change after a write.
    void SetRecoveryFolder(const std::string& folder);
    void SetRecoveryInterval(int milliseconds);
    void NoteDocumentChange();
    void WriteRecovery();
    void ForgetRecovery(TEditWin& win);
    // Offers each document an abnormal end left behind; returns how many
    // were restored.
    int OfferRecovery();
    // SIGTERM/SIGHUP: the unsaved work goes to the recovery folder first;
    // with a display the close questions follow, without one the program ends.
    void OnTerminationRequest(bool haveDisplay);

    // Actions (objectName = action name).
    QAction *actNovy, *actOtevrit, *actImport, *actUlozit, *actUlozitJako, *actExportHTML, *actExportRTF,
        *actZavrit, *actZavritVse, *actNastaveni, *actZpet, *actZnovu, *actKopirovat, *actVyjmout, *actVlozit,
        *actComment, *actUnComment, *actTisk, *actVybratVse, *actNajit, *actNajitDalsi, *actNahradit,
        *actPrelozit, *actKaskada, *actHorizontalne, *actVertikalne, *actOprogramu, *actKonec;
    // Highlighting menu items, tags 1..3.
    std::array<QAction*, platform::kAssemblerCount> mnItmHighlight{};
    // "Nastavení zvýraznění ...": the editor's options dialog, all pages.
    QAction* actNastaveniZvyrazneni = nullptr;

    QMdiArea* mdiArea;
    QTabBar* tabConSoubory;
    QToolBar* tlbTabs; // the band that holds the tab strip
    QMenu* mnItmHistorie;
    QAction* mnItmZalamovat; // word wrap of the active document
    QMenu* popOtevrit;       // drop-down of the toolbar's Otevřít button
    QMenu* popEditor;        // context menu of the editors
    QMenu* popTab;           // right-click menu of the tab strip
    TfrmDialog* frmDialog;   // progress popup of the build

public slots:
    void actNovyExecute();
    void actOtevritExecute();
    void actUlozitExecute();
    void actUlozitJakoExecute();
    void actTiskExecute();
    // Switches word wrap of the active document; the item shows its state.
    void mnItmZalamovatClick(bool checked);
    // Export of the active document (MainWindowExport.cpp).
    void actExportHTMLExecute();
    void actExportRTFExecute();
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

    // The editor's options dialog for the active document's scheme.
    void actNastaveniZvyrazneniExecute();

public:
    // The options dialog of a document's scheme (MainWindowSchemeOptions.cpp):
    // runs it over copy, stores a confirmed result as the user's own settings
    // of the scheme and hands it to the other documents of that scheme.
    bool RunSchemeOptions(TEditWin& win, TTE_Settings& copy, unsigned pages);
    // Puts the user's stored settings of the scheme over a freshly compiled
    // one (before its editors re-select it); a stored form that does not
    // read is ignored with a note in the status bar.
    void ApplyStoredSchemeSettings(TTessaryParser& parser);

    // Reads a text file into a new untitled document, every line laid out
    // by PrevodRadku, under the progress popup.
    void Import(const QString& fileName);

    TfrmNajit* frmNajit;   // the find and replace dialog, reused for the whole run
    TNavigator* navigator; // go to definition, uses, outline, build errors

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void CreateSchemeOptionsAction(QMenu* menu);
    void ReadWindowSettings();
    void WriteWindowSettings();
    bool SaveAsNameMayClose(const SaveChoice& choice);
    // Refuses the name of an open document and asks before overwriting a file.
    bool NameMayBeWritten(const QString& name);
    void ExportActive(bool rtf);
    void tabConSouboryChange(int index);
    void tabConSouboryMouseUp(const QPoint& pos);
    void mnItmHighlightClick(QAction* item);
    void appEventsHint(const QString& hint);
    void OnSubWindowActivated(QMdiSubWindow* sub);
    void RebuildWindowMenu();
    void TileWindows(Qt::Orientation orientation);
    void SetStepHint(QAction* action, const char* prefix, int kind);
    void ToggleComment(bool comment);
    // The TabColumns setting, or the default (with a note) when it is invalid.
    QString TabColumnsSetting();
    int FontSizeSetting();

    AppDialogs& dialogs_;
    QString programDirectory_;
    platform::ProgramLayout layout_;
    std::unique_ptr<TMemIniFile> settings_;
    std::array<QLabel*, 5> panels_{};
    QActionGroup* highlightGroup_ = nullptr;
    QMenu* mnuOkno_ = nullptr;
    QList<QAction*> windowListActions_;
    bool selectingTab_ = false; // a tab is being selected by code
    void RestoreRecoveredDocument(const std::string& originalName, const std::string& text);
    std::unique_ptr<TRecoveryStore> recovery_;
    QTimer* recoveryTimer_ = nullptr;
    int nextRecoveryId_ = 1;
    bool checkingOutside_ = false;
    bool building_ = false; // a build's library call is running
};

} // namespace torvane::app
