#pragma once
// The errors of the last build of a document, kept where their text goes.
//
// When the build fills the document's message list, every "[Error]" line that
// names this document gets a named bookmark of the editor control at the start
// of its line; the control moves named bookmarks with their text, so after
// lines are inserted or deleted above it an error is still found on its own
// line. Each error line shows a gutter mark. The next build (the list being
// refilled) replaces them all; an error whose line is deleted goes with it.

#include "editor/LineNode.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <vector>

namespace torvane::app {

class TEditWin;

class TErrorMarks : public QObject {
    Q_OBJECT
public:
    // Attached to the window's message list and editor; owned by the window.
    explicit TErrorMarks(TEditWin& win);

    int Count() const;
    // Current 0-based lines of the errors, ascending, each once.
    std::vector<int> Lines() const;
    // Where the error the build reported on a 1-based line now stands
    // (1-based); the line itself when no error of this build was there.
    int CurrentLine(int buildLine) const;

    // While set, changes of the message list are not the build's (the list is
    // being filled with uses); the marks stay.
    void SetListOwnedElsewhere(bool owned) { listElsewhere_ = owned; }

signals:
    void CountChanged(int count);

private:
    void Clear();
    void AddFromRows(int first, int last);
    void ScheduleGutter();
    void UpdateGutter();

    TEditWin& win_;
    // The list outlives the editor while the window goes, and still signals.
    QPointer<QWidget> editor_;
    QTimer gutterTimer_;
    bool listElsewhere_ = false;
    bool gutterShown_ = false; // some line carries our gutter mark
};

} // namespace torvane::app
