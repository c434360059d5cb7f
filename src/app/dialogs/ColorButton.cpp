#include "app/dialogs/ColorButton.h"

#include "editor/Painter.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace torvane::app {
namespace {

TColorButton::Picker& CurrentPicker() {
    static TColorButton::Picker picker;
    return picker;
}

constexpr int kSwatchWidth = 40, kSwatchHeight = 14;

} // namespace

TColorButton::TColorButton(QWidget* parent) : QPushButton(parent) {
    setIconSize(QSize(kSwatchWidth, kSwatchHeight));
    connect(this, &QPushButton::clicked, this, &TColorButton::Pick);
    SetColor(0);
}

void TColorButton::SetColor(int32_t color) {
    color_ = color;
    QPixmap swatch(kSwatchWidth, kSwatchHeight);
    swatch.fill(ToQColor(color));
    QPainter frame(&swatch);
    frame.setPen(Qt::black);
    frame.drawRect(0, 0, kSwatchWidth - 1, kSwatchHeight - 1);
    setIcon(QIcon(swatch));
}

void TColorButton::SetPicker(Picker picker) {
    CurrentPicker() = std::move(picker);
}

QColor TColorButton::ToQColor(int32_t color) {
    const auto rgb = editor::TSystemColors{}.Resolve(static_cast<editor::TColor>(color));
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>(rgb >> 8 & 0xFF),
                  static_cast<int>(rgb >> 16 & 0xFF));
}

int32_t TColorButton::FromQColor(const QColor& color) {
    return color.red() | color.green() << 8 | color.blue() << 16;
}

void TColorButton::Pick() {
    std::optional<QColor> chosen;
    if (CurrentPicker()) {
        chosen = CurrentPicker()(ToQColor(color_), this);
    } else {
        const QColor c = QColorDialog::getColor(ToQColor(color_), this);
        if (c.isValid()) chosen = c;
    }
    if (!chosen) return;
    SetColor(FromQColor(*chosen));
    emit colorPicked(color_);
}

} // namespace torvane::app
