// Files dragged from a file manager onto the main window, anywhere the
// editor itself does not take them (the document window leaves dropped files
// to its frame), open as documents as the open flow does.

#include "app/MainWindow.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace torvane::app {
namespace {

QStringList LocalFilesOf(const QMimeData* mime) {
    QStringList names;
    if (mime && mime->hasUrls())
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile()) names.append(url.toLocalFile());
    return names;
}

// Never a move: the file manager keeps its files.
bool AcceptFiles(QDropEvent* event) {
    if (LocalFilesOf(event->mimeData()).isEmpty() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

} // namespace

void TfrmTorvane::OpenDroppedFiles(const QStringList& names) {
    QStringList files;
    for (const QString& name : names)
        if (QFileInfo(name).isFile()) files.append(name);
    // Opened from the event loop: the drop must end before a message box may
    // ask anything, and the window it landed on may be closed by then.
    if (!files.isEmpty()) QTimer::singleShot(0, this, [this, files] { OpenFiles(files); });
}

void TfrmTorvane::dragEnterEvent(QDragEnterEvent* event) {
    AcceptFiles(event);
}

void TfrmTorvane::dragMoveEvent(QDragMoveEvent* event) {
    AcceptFiles(event);
}

void TfrmTorvane::dropEvent(QDropEvent* event) {
    if (AcceptFiles(event)) OpenDroppedFiles(LocalFilesOf(event->mimeData()));
}

} // namespace torvane::app
