#include "app/navigation/OutlineDock.h"

#include "app/EditWin.h"
#include "app/navigation/DocumentSymbols.h"
#include "app/navigation/NavigationTexts.h"
#include "editor/TextStore.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace torvane::app {
namespace {

constexpr int kLineRole = Qt::UserRole;
constexpr int kColumnRole = Qt::UserRole + 1;

} // namespace

TOutlineDock::TOutlineDock(QWidget* parent)
    : QDockWidget(QString::fromUtf8(text::kOutlineTitle), parent), filter_(new QLineEdit),
      list_(new QTreeWidget) {
    setObjectName(QStringLiteral("dockNavesti"));
    filter_->setObjectName(QStringLiteral("edtFiltr"));
    filter_->setPlaceholderText(QString::fromUtf8(text::kOutlineFilter));
    filter_->setClearButtonEnabled(true);
    list_->setObjectName(QStringLiteral("lstNavesti"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({QString::fromUtf8(text::kOutlineName), QString::fromUtf8(text::kOutlineKind),
                            QString::fromUtf8(text::kOutlineLine)});
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);

    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(filter_);
    layout->addWidget(list_);
    setWidget(body);

    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, &TOutlineDock::Rescan);
    connect(filter_, &QLineEdit::textChanged, this, &TOutlineDock::ApplyFilter);
    connect(list_, &QTreeWidget::itemClicked, this, &TOutlineDock::Jump);
    connect(list_, &QTreeWidget::itemActivated, this, &TOutlineDock::Jump);
}

void TOutlineDock::ShowDocument(TEditWin* win) {
    win_ = win;
    quiet_.stop();
    Rescan();
}

void TOutlineDock::DocumentEdited(TEditWin* win) {
    if (win == win_) quiet_.start();
}

void TOutlineDock::Rescan() {
    std::vector<Entry> entries;
    if (win_) {
        const std::string text = win_->sMemo->Store().Text();
        symbols::TLineSink sink;
        sink.symbol = [&](int32_t line, symbols::TLineSymbol&& s) {
            entries.push_back(Entry{std::move(s.name), s.kind, line, s.column});
        };
        symbols::ScanText(DialectOf(*win_), text, sink);
    }
    if (entries == entries_ && list_->topLevelItemCount() == static_cast<int>(entries.size())) return;
    entries_ = std::move(entries);
    Fill();
}

void TOutlineDock::Fill() {
    list_->setUpdatesEnabled(false);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(entries_.size()));
    for (const Entry& e : entries_) {
        auto* item =
            new QTreeWidgetItem({QString::fromLatin1(e.name.data(), static_cast<qsizetype>(e.name.size())),
                                 KindText(e.kind), QString::number(e.line + 1)});
        item->setData(0, kLineRole, e.line);
        item->setData(0, kColumnRole, e.column);
        items.push_back(item);
    }
    list_->addTopLevelItems(items);
    ApplyFilter();
    list_->setUpdatesEnabled(true);
}

void TOutlineDock::ApplyFilter() {
    const QString wanted = filter_->text().trimmed();
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        item->setHidden(!wanted.isEmpty() && !item->text(0).contains(wanted, Qt::CaseInsensitive));
    }
}

void TOutlineDock::Jump(QTreeWidgetItem* item) {
    if (!item || !win_) return;
    const int line = item->data(0, kLineRole).toInt() + 1;
    win_->sMemo->SetCaret(line, item->data(0, kColumnRole).toInt() + 1);
    win_->sMemo->SetTopLine(line - 5);
    win_->sMemo->setFocus();
}

} // namespace torvane::app
