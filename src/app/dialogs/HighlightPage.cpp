#include "app/dialogs/HighlightPage.h"

#include "app/dialogs/ColorButton.h"
#include "highlight/Settings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QListWidget>

namespace torvane::app {
namespace {
constexpr std::array<uint8_t, 4> kFontStyleBits = {fsBold, fsItalic, fsUnderline, fsStrikeOut};
constexpr std::array<const char*, 4> kFontStyleNames = {"&Tučné", "&Kurzíva", "&Podtržené", "Pře&škrtnuté"};
} // namespace

THighlightPage::THighlightPage(TTE_Settings& settings, QWidget* parent)
    : TOptionsPage(parent), lstStyles(new QListWidget(this)), btnForeground(new TColorButton(this)),
      btnBackground(new TColorButton(this)), chkFgDefault(new QCheckBox(QStringLiteral("výchozí"), this)),
      chkBgDefault(new QCheckBox(QStringLiteral("výchozí"), this)), settings_(settings) {
    lstStyles->setObjectName(QStringLiteral("lstStyles"));
    btnForeground->setObjectName(QStringLiteral("btnForeground"));
    btnBackground->setObjectName(QStringLiteral("btnBackground"));

    auto* form = new QFormLayout;
    for (size_t i = 0; i < chkFontStyle.size(); ++i) {
        chkFontStyle[i] = new QCheckBox(QString::fromUtf8(kFontStyleNames[i]), this);
        form->addRow(chkFontStyle[i]);
        connect(chkFontStyle[i], &QCheckBox::toggled, this, &THighlightPage::StoreStyle);
    }
    auto colourRow = [this](TColorButton* button, QCheckBox* flag) {
        auto* row = new QHBoxLayout;
        row->addWidget(button);
        row->addWidget(flag);
        row->addStretch();
        connect(button, &TColorButton::colorPicked, this, &THighlightPage::StoreStyle);
        connect(flag, &QCheckBox::toggled, this, &THighlightPage::StoreStyle);
        return row;
    };
    form->addRow(QStringLiteral("&Text:"), colourRow(btnForeground, chkFgDefault));
    form->addRow(QStringLiteral("&Pozadí:"), colourRow(btnBackground, chkBgDefault));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lstStyles, 1);
    layout->addLayout(form, 1);
    connect(lstStyles, &QListWidget::currentRowChanged, this, &THighlightPage::ShowStyle);
}

void THighlightPage::Load(const TTE_Settings& settings) {
    const int row = std::max(lstStyles->currentRow(), 0);
    showing_ = true;
    lstStyles->clear();
    for (const TEditableStyle& style : settings.values.editable) {
        if (style.name.empty()) break;
        auto* item = new QListWidgetItem(OptionsText(style.name), lstStyles);
        item->setData(Qt::UserRole, style.styleId);
    }
    showing_ = false;
    if (lstStyles->count() > 0) lstStyles->setCurrentRow(std::min(row, lstStyles->count() - 1));
    ShowStyle();
}

bool THighlightPage::SelectStyle(const QString& name) {
    const auto found = lstStyles->findItems(name, Qt::MatchFixedString);
    if (found.isEmpty()) return false;
    lstStyles->setCurrentItem(found.front());
    return true;
}

int THighlightPage::CurrentStyleId() const {
    const QListWidgetItem* item = lstStyles->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void THighlightPage::ShowStyle() {
    const int id = CurrentStyleId();
    const bool any = id >= 0;
    for (QCheckBox* c : chkFontStyle)
        c->setEnabled(any);
    for (QWidget* w :
         std::initializer_list<QWidget*>{btnForeground, btnBackground, chkFgDefault, chkBgDefault})
        w->setEnabled(any);
    if (!any) return;
    const TTE_Style& style = settings_.GetStyle(static_cast<uint8_t>(id));
    showing_ = true;
    for (size_t i = 0; i < chkFontStyle.size(); ++i)
        chkFontStyle[i]->setChecked(style.fontStyle & kFontStyleBits[i]);
    btnForeground->SetColor(style.foreground);
    btnBackground->SetColor(style.background);
    chkFgDefault->setChecked(style.fgDefault != 0);
    chkBgDefault->setChecked(style.bgDefault != 0);
    showing_ = false;
}

void THighlightPage::StoreStyle() {
    const int id = CurrentStyleId();
    if (showing_ || id < 0) return;
    TTE_Style style = settings_.GetStyle(static_cast<uint8_t>(id));
    style.fontStyle = 0;
    for (size_t i = 0; i < chkFontStyle.size(); ++i)
        if (chkFontStyle[i]->isChecked()) style.fontStyle |= kFontStyleBits[i];
    // A colour picked by hand is meant to show, so it clears its default flag.
    showing_ = true;
    if (sender() == btnForeground) chkFgDefault->setChecked(false);
    if (sender() == btnBackground) chkBgDefault->setChecked(false);
    showing_ = false;
    style.foreground = btnForeground->Color();
    style.background = btnBackground->Color();
    style.fgDefault = chkFgDefault->isChecked() ? 1 : 0;
    style.bgDefault = chkBgDefault->isChecked() ? 1 : 0;
    style.defined = 1;
    settings_.SetStyle(static_cast<uint8_t>(id), style);
    emit changed();
}

} // namespace torvane::app
