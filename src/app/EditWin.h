#pragma once
// TEditWin: the content of one document window (an MDI child of the main
// window): the editor area above a 3-pixel splitter and the list of build
// messages below it. It keeps the main window's status panels and actions in
// step with its editor, selects the highlighting scheme of its assembler,
// asks before a modified document closes, and turns a click on an
// "[Error] file(line): text" message into a jump to that line, marked red
// until the editor next reports an edit or a caret movement.
//
// The window owns the highlighting parser of its editor (sMemoParser). It
// starts with the built-in plain-text scheme; SetHighlighter replaces it
// by compiling a scheme script from the Scripts folder beside the program.

#include "app/TessaryControl.h"
#include "highlight/Parser.h"
#include "platform/Names.h"
#include "platform/SafeSave.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class QListWidget;
class QListWidgetItem;
class QSplitter;

namespace torvane::app {

class TfrmTorvane;

// Where a scheme script failed to compile (the parser's report).
struct SchemeScriptError {
    int line = 0;
    int column = 0;
};

class TEditWin : public QWidget {
    Q_OBJECT
public:
    TEditWin(TfrmTorvane& main, const QString& fileName, QWidget* parent = nullptr);
    ~TEditWin() override;

    TTessary* sMemo;
    TTessaryParser sMemoParser;
    QSplitter* Splitter;
    QListWidget* lstBox;

    QString FileName; // full path or "Nový soubor N"; also caption and tab text
    platform::Assembler HighlightAssembler = platform::Assembler::None;
    int ErrorLine = -1; // 1-based line marked by a message click, -1 for none
    // Where the error a build message names on a 1-based line stands now that
    // the text may have been edited; unset: the line as named.
    std::function<int(int)> CurrentErrorLine;

    // The file as it was on disk when last loaded or saved, to notice a
    // change made by another program.
    platform::FileStamp Stamp;
    // This document's number in the recovery folder, and the hash of the text
    // last written there (0: nothing written).
    int RecoveryId = 0;
    size_t RecoveryHash = 0;

    // Selects the highlighting of an assembler.
    void SetHighlighter(platform::Assembler assembler);
    // Caret to line n (1-based), n-5 as the top line, line n marked red.
    void GoToLine(int n);

    // True when the window may close (asks about unsaved changes).
    bool FormCloseQuery();
    // The window's part of closing: panels, actions and its tab.
    void FormClose();
    void FormActivate();
    void sMemoChange(ChangeKinds kinds = ckNone);
    void sMemoSearchFail(const QString& searchText);
    void lstBoxClick(QListWidgetItem* item);

    // Closes without asking again (the close query already ran).
    void CloseApproved();

    // The compile step of SetHighlighter: sets the script as the parser's
    // script file and compiles it, then re-highlights the editor. On a
    // compile error the position the compiler reports (1-based).
    std::optional<SchemeScriptError> CompileSchemeScript(const std::string& scriptPath);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TfrmTorvane& main_;
    bool closeApproved_ = false;
};

} // namespace torvane::app
