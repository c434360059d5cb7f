#pragma once
// TemplatePickList: the pop-up list of code templates over an editor view.
//
// A frameless, owner-drawn list that is a child of the view: each row shows
// the template's description and, 24 pixels right of the widest description,
// its name in bold, in a small sans-serif font. It opens below the caret
// line (above it when there is no room below) and stays inside the view.
// Its model is the control's TTessaryTemplates: typing goes to the type-ahead
// text, Enter or a double click expands the selected template, Escape or
// leaving the list cancels. The list closes itself when the model says the
// pick is over.

#include <QListWidget>

class QAbstractScrollArea;

namespace torvane::editor {
class TTessaryCommands;
class TTessaryTemplates;
} // namespace torvane::editor

namespace torvane::editor::qt {

class TemplatePickList : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kColumnGap = 24;  // between the description and the name
    static constexpr int kExtraWidth = 48; // added to the two widest columns
    static constexpr int kMaxVisibleRows = 10;

    TemplatePickList(QAbstractScrollArea& view, TTessaryCommands& commands);

    // Shows the model's templates, selects its choice, places itself and takes the focus.
    void Open();
    int NameColumn() const noexcept { return nameColumn_; }
    // The font the names are drawn in (the list's font, bold).
    QFont NameFont() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Place(int width, int height);

    QAbstractScrollArea& view_;
    TTessaryCommands& commands_;
    TTessaryTemplates& model_;
    int nameColumn_ = 0;
};

// Lets the commands' template pick list open over view as a TemplatePickList.
void AttachTemplatePickList(QAbstractScrollArea& view, TTessaryCommands& commands);

} // namespace torvane::editor::qt
