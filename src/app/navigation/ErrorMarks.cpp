#include "app/navigation/ErrorMarks.h"

#include "app/AppLogic.h"
#include "app/EditWin.h"
#include "editor/Bookmarks.h"
#include "editor/TextStore.h"

#include <QListWidget>

#include <string>

namespace torvane::app {
namespace {

// Named bookmarks of errors: the prefix, then the line the build reported.
constexpr char kBookmarkPrefix[] = "torvane.error.";
// The red disc of the gutter image strip.
constexpr uint16_t kErrorGutterMark = 1u << 13;

bool IsErrorBookmark(const std::string& name) {
    return name.rfind(kBookmarkPrefix, 0) == 0;
}

editor::TCustomBookmarks& Named(TEditWin& win) {
    return win.sMemo->Store().Bookmarks().Named();
}

} // namespace

TErrorMarks::TErrorMarks(TEditWin& win) : QObject(&win), win_(win), editor_(win.sMemo) {
    setObjectName(QStringLiteral("errorMarks"));
    gutterTimer_.setSingleShot(true);
    gutterTimer_.setInterval(0);
    connect(&gutterTimer_, &QTimer::timeout, this, &TErrorMarks::UpdateGutter);
    // The window is the context: it cuts its editor and list loose before
    // they go, and these connections go with them.
    QAbstractItemModel* model = win.lstBox->model();
    connect(model, &QAbstractItemModel::modelReset, &win, [this] {
        if (editor_ && !listElsewhere_) Clear();
    });
    connect(model, &QAbstractItemModel::rowsInserted, &win, [this](const QModelIndex&, int first, int last) {
        if (editor_ && !listElsewhere_) AddFromRows(first, last);
    });
    connect(win.sMemo, &TTessary::Changed, &win, [this](unsigned kinds) {
        if (kinds & ckText) ScheduleGutter();
    });
    Named(win).OnCustomBookmarkFree = [this](const std::string& name) {
        if (IsErrorBookmark(name))
            QTimer::singleShot(0, this, [this] {
                if (editor_) emit CountChanged(Count());
            });
    };
}

int TErrorMarks::Count() const {
    return static_cast<int>(Lines().size());
}

std::vector<int> TErrorMarks::Lines() const {
    std::vector<int> lines;
    const editor::TTextStore& store = win_.sMemo->Store();
    for (const auto& entry : Named(win_).Entries()) {
        if (!IsErrorBookmark(entry.name)) continue;
        const int line = store.TextLineOfNode(store.LineOfOffset(entry.offset));
        // Entries are in offset order, so equal lines are neighbours.
        if (lines.empty() || lines.back() != line) lines.push_back(line);
    }
    return lines;
}

int TErrorMarks::CurrentLine(int buildLine) const {
    const auto offset = Named(win_).Find(kBookmarkPrefix + std::to_string(buildLine));
    const editor::TTextStore& store = win_.sMemo->Store();
    return offset ? store.TextLineOfNode(store.LineOfOffset(*offset)) + 1 : buildLine;
}

void TErrorMarks::Clear() {
    editor::TCustomBookmarks& named = Named(win_);
    std::vector<std::string> ours;
    for (const auto& entry : named.Entries())
        if (IsErrorBookmark(entry.name)) ours.push_back(entry.name);
    for (const std::string& name : ours)
        named.Remove(name);
    UpdateGutter();
    emit CountChanged(0);
}

void TErrorMarks::AddFromRows(int first, int last) {
    editor::TTextStore& store = win_.sMemo->Store();
    bool added = false;
    for (int row = first; row <= last; ++row) {
        const QListWidgetItem* item = win_.lstBox->item(row);
        if (!item) continue;
        const ErrorItemTarget target = ParseErrorItem(item->text(), win_.FileName);
        // The same lines a click on the message may go to.
        if (target.kind != ErrorItemTarget::Line || target.line < 1 || target.line >= store.TextLineCount())
            continue;
        const std::string name = kBookmarkPrefix + std::to_string(target.line);
        if (Named(win_).Find(name)) continue;
        Named(win_).Add(name, store.LineStart(store.NodeOfTextLine(target.line - 1)));
        added = true;
    }
    if (!added) return;
    UpdateGutter();
    emit CountChanged(Count());
}

void TErrorMarks::ScheduleGutter() {
    if (gutterShown_) gutterTimer_.start();
}

void TErrorMarks::UpdateGutter() {
    if (!editor_) return;
    editor::TTextStore& store = win_.sMemo->Store();
    // A node keeps its gutter mark through edits, so a mark may now sit on
    // another line than its error: wipe every one of ours and set them anew.
    if (gutterShown_)
        for (int line = 0; line < store.LineCount(); ++line)
            if (store.Node(line).gutterMark == kErrorGutterMark) store.SetGutterMark(line, 0);
    const std::vector<int> lines = Lines();
    for (const int line : lines)
        store.SetGutterMark(line, kErrorGutterMark);
    gutterShown_ = !lines.empty();
    win_.sMemo->View().viewport()->update();
}

} // namespace torvane::app
