#include "editor/qt/TemplatePickList.h"

#include "editor/Cp1250Table.h"
#include "editor/TessaryCommands.h"
#include "editor/TessaryTemplates.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <exception>
#include <memory>

namespace torvane::editor::qt {
namespace {

constexpr int kNameRole = Qt::UserRole;
constexpr int kTextMargin = 2;

QString FromDocument(const std::string& bytes) {
    const std::u16string text = Cp1250ToUtf16(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The model changes the text: a failure must not leave the event handler.
template <typename F> void Safely(F&& action) {
    try {
        action();
    } catch (const std::exception&) {
        QApplication::beep();
    }
}

// Description on the left, the name in bold from the list's name column.
class PickItemDelegate final : public QStyledItemDelegate {
public:
    PickItemDelegate(TemplatePickList& list, int rowHeight)
        : QStyledItemDelegate(&list), list_(list), rowHeight_(rowHeight) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
        const QRect row = option.rect.adjusted(kTextMargin, 0, 0, 0);
        painter->setFont(list_.font());
        painter->drawText(row, Qt::AlignVCenter | Qt::AlignLeft, index.data(Qt::DisplayRole).toString());
        painter->setFont(list_.NameFont());
        painter->drawText(row.adjusted(list_.NameColumn(), 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          index.data(kNameRole).toString());
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), rowHeight_};
    }

private:
    TemplatePickList& list_;
    int rowHeight_;
};

} // namespace

TemplatePickList::TemplatePickList(QAbstractScrollArea& view, TTessaryCommands& commands)
    : QListWidget(view.viewport()), view_(view), commands_(commands), model_(commands.Templates()) {
    setObjectName(QStringLiteral("TemplatePickList"));
    QFont small(QStringLiteral("Arial"));
    small.setStyleHint(QFont::SansSerif);
    small.setPointSize(8);
    setFont(small);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) { model_.PickSelect(row); });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { Safely([this] { model_.PickChoose(); }); });
}

QFont TemplatePickList::NameFont() const {
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

void TemplatePickList::Open() {
    const QFontMetrics plain(font()), bold(NameFont());
    int widestDescription = 0, widestName = 0;
    clear();
    for (const TMacro& macro : model_.PickItems()) {
        auto* item = new QListWidgetItem(FromDocument(macro.description), this);
        item->setData(kNameRole, FromDocument(macro.name));
        widestDescription = std::max(widestDescription, plain.horizontalAdvance(item->text()));
        widestName = std::max(widestName, bold.horizontalAdvance(item->data(kNameRole).toString()));
    }
    nameColumn_ = widestDescription + kColumnGap;
    const int rowHeight = bold.boundingRect(QStringLiteral("Wy")).height() + 2;
    setItemDelegate(new PickItemDelegate(*this, rowHeight));

    const int rows = std::clamp(count(), 1, kMaxVisibleRows);
    const int frame = 2 * frameWidth();
    int width = widestDescription + widestName + kExtraWidth + frame;
    if (count() > kMaxVisibleRows) width += verticalScrollBar()->sizeHint().width();
    Place(width, rows * rowHeight + frame);
    setCurrentRow(model_.PickSelected());
    show();
    raise();
    setFocus(Qt::PopupFocusReason);
}

void TemplatePickList::Place(int width, int height) {
    const QRect area = view_.viewport()->rect();
    int x = 0, y = 0;
    commands_.Control().Geometry().PointOfOffset(commands_.Control().Caret(), &x, &y);
    const int lineHeight = commands_.Control().Metrics().rowHeight;
    // Below the caret line, or above it when it would not fit below.
    int top = y + lineHeight;
    if (top + height > area.height() && y - height >= 0) top = y - height;
    // Ends inside the view's right edge when it would reach past it.
    if (x + width > area.width() - kColumnGap) x = area.width() - kColumnGap - width;
    setGeometry(std::max(0, x), std::max(0, top), std::min(width, area.width()),
                std::min(height, area.height()));
}

void TemplatePickList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Safely([this] { model_.PickChoose(); });
        return;
    case Qt::Key_Escape:
        Safely([this] { model_.PickCancel(); });
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (text.size() == 1 && text[0].isPrint() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (const auto byte = UnicodeToCp1250(text[0].unicode())) {
            if (model_.PickTypeAhead(static_cast<char>(*byte))) setCurrentRow(model_.PickSelected());
        }
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TemplatePickList::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    // Leaving the list is a cancel (after a choice the model is closed already).
    if (isVisible()) Safely([this] { model_.PickCancel(); });
}

void AttachTemplatePickList(QAbstractScrollArea& view, TTessaryCommands& commands) {
    auto shown = std::make_shared<QPointer<TemplatePickList>>();
    TTessaryTemplates& model = commands.Templates();
    model.OnPickListOpened = [&view, &commands, shown] {
        *shown = new TemplatePickList(view, commands);
        (*shown)->Open();
    };
    model.OnPickListClosed = [&view, shown] {
        TemplatePickList* list = *shown;
        shown->clear();
        if (!list) return;
        // The list may be inside one of its own handlers: it goes later.
        list->hide();
        list->deleteLater();
        view.setFocus(Qt::OtherFocusReason);
        view.viewport()->update();
    };
}

} // namespace torvane::editor::qt
