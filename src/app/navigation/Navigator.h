#pragma once
// Navigation in assembler sources, for the main window: go to definition (F12
// and Ctrl+click), the uses of a name (Shift+F12, into the message list), the
// errors of the last build (F8 / Shift+F8, their count in the status bar),
// the outline panel, and a tooltip with a name's definition.
//
// Document windows are taken on when they are first activated; nothing in
// them needs to know about navigation beyond the error line a message click
// asks for.

#include "symbols/SymbolTable.h"

#include <QObject>
#include <QPointer>

#include <optional>

class QAction;
class QLabel;
class QListWidgetItem;
class QMdiSubWindow;

namespace torvane::app {

class TEditWin;
class TErrorMarks;
class TfrmTorvane;
class TOutlineDock;

class TNavigator : public QObject {
    Q_OBJECT
public:
    explicit TNavigator(TfrmTorvane& main);

    QAction *actDefinice, *actVyskyty, *actDalsiChyba, *actPredchoziChyba;
    TOutlineDock* Outline() const { return outline_; }
    QLabel* ErrorCountLabel() const { return errorCount_; }

    void GoToDefinition();
    void ListUses();
    void GoToError(bool forward);
    // The tooltip for a byte offset of a document: the definition of the name
    // there, empty when there is none.
    QString DefinitionTip(TEditWin& win, int64_t offset);

    // Shows a file (opening it as a document when needed) with the caret on a
    // 0-based line and column; the document, or null when it cannot be opened.
    TEditWin* ShowLocation(const QString& path, int line, int column, TEditWin* from);

    static TErrorMarks* ErrorMarksOf(TEditWin& win);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnActivated(QMdiSubWindow* sub);
    void Attach(TEditWin& win);
    void ShowStatus(const QString& text);
    void ShowErrorCount();
    void ListClicked(TEditWin& win, QListWidgetItem* item);
    const symbols::TSymbolTable& Table(TEditWin& win);
    // The name at the caret, with its status message when there is none.
    std::string NameAtCaret(TEditWin& win);
    QStringList ProblemLines(TEditWin& win, const symbols::TSymbolTable& table) const;
    QString FileLabel(TEditWin& win, const symbols::TSymbolTable& table, int32_t file) const;

    TfrmTorvane& main_;
    TOutlineDock* outline_;
    QLabel* errorCount_;
    // The last scan of a document with its includes, until any document changes.
    QPointer<TEditWin> cachedWin_;
    std::optional<symbols::TSymbolTable> cache_;
};

} // namespace torvane::app
