#pragma once
// The "Návěští" panel: the labels, constants and macros the active document
// defines, in text order with their kinds, filtered by what is typed above
// the list. A click puts the caret on the definition.
//
// The list follows edits without getting in the way of typing: a change only
// restarts a short timer, and the document is scanned once the typing has
// paused (a scan of 100,000 lines takes milliseconds, see bench/symbols).
// The list is rebuilt only when what it shows has changed.

#include "symbols/Symbols.h"

#include <QDockWidget>
#include <QPointer>
#include <QTimer>

#include <vector>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace torvane::app {

class TEditWin;

class TOutlineDock : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int kQuietMs = 300;

    explicit TOutlineDock(QWidget* parent = nullptr);

    // Shows the symbols of this document (null: none) now.
    void ShowDocument(TEditWin* win);
    // The document changed: rescan on the next quiet moment.
    void DocumentEdited(TEditWin* win);

    QLineEdit* Filter() const { return filter_; }
    QTreeWidget* List() const { return list_; }

private:
    struct Entry {
        std::string name;
        symbols::TSymbolKind kind;
        int32_t line;
        int32_t column;
        bool operator==(const Entry&) const = default;
    };
    void Rescan();
    void Fill();
    void ApplyFilter();
    void Jump(QTreeWidgetItem* item);

    QLineEdit* filter_;
    QTreeWidget* list_;
    QTimer quiet_;
    QPointer<TEditWin> win_;
    std::vector<Entry> entries_;
};

} // namespace torvane::app
