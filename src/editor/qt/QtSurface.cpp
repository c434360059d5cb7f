#include "editor/qt/QtSurface.h"

#include "editor/Cp1250Table.h"

#include <QImage>
#include <QPainter>

namespace torvane::editor::qt {

QColor ToQColor(TColor color) {
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

QFont ToQFont(const TFontSpec& wanted) {
    QFont font(QString::fromStdString(wanted.name), wanted.size);
    // When the named family is missing, stay with its kind of font: the text
    // layout counts on a fixed pitch for the editing font.
    const bool typewriter =
        wanted.name.find("Courier") != std::string::npos || wanted.name.find("Mono") != std::string::npos;
    font.setStyleHint(typewriter ? QFont::TypeWriter : QFont::SansSerif);
    font.setBold(wanted.style & fsBold);
    font.setItalic(wanted.style & fsItalic);
    font.setUnderline(wanted.style & fsUnderline);
    font.setStrikeOut(wanted.style & fsStrikeOut);
    return font;
}

QString ToQString(std::string_view bytes) {
    const std::u16string text = Cp1250ToUtf16(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

TQtSurface::TQtSurface(QPainter* painter, QPaintDevice* metricsDevice)
    : painter_(painter), metricsDevice_(metricsDevice), font_(ToQFont(spec_)),
      metrics_(metricsDevice ? QFontMetrics(font_, metricsDevice) : QFontMetrics(font_)) {}

void TQtSurface::FillRect(const TRect& rect, TColor color) {
    if (painter_ && !rect.Empty())
        painter_->fillRect(rect.left, rect.top, rect.Width(), rect.Height(), ToQColor(color));
}

void TQtSurface::SetFont(const TFontSpec& font) {
    if (font == spec_) return;
    spec_ = font;
    font_ = ToQFont(font);
    metrics_ = metricsDevice_ ? QFontMetrics(font_, metricsDevice_) : QFontMetrics(font_);
}

TFontMetrics TQtSurface::Metrics() {
    return {metrics_.height(), metrics_.leading(), metrics_.averageCharWidth()};
}

int TQtSurface::TextWidth(std::string_view bytes) {
    return metrics_.horizontalAdvance(ToQString(bytes));
}

void TQtSurface::TextRun(const TRect& cell, int x, int y, std::string_view bytes, TColor fore, TColor back,
                         bool opaque) {
    if (!painter_) return;
    if (opaque) FillRect(cell, back);
    painter_->setFont(font_);
    painter_->setPen(ToQColor(fore));
    painter_->drawText(x, y + metrics_.ascent(), ToQString(bytes));
}

void TQtSurface::Line(int x1, int y1, int x2, int y2, TColor color, TPenStyle pen) {
    if (!painter_) return;
    QPen p(ToQColor(color));
    p.setWidth(1);
    p.setStyle(pen == TPenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    painter_->setPen(p);
    // The end point is not part of the line.
    painter_->drawLine(x1, y1, x2 - (x2 > x1 ? 1 : 0), y2 - (y2 > y1 ? 1 : 0));
}

void TQtSurface::XorLine(int x1, int y1, int x2, int y2) {
    if (!painter_) return;
    painter_->save();
    painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter_->setPen(QPen(Qt::white, 1));
    painter_->drawLine(x1, y1, x2 - (x2 > x1 ? 1 : 0), y2 - (y2 > y1 ? 1 : 0));
    painter_->restore();
}

void TQtSurface::InvertRect(const TRect& rect) {
    if (!painter_ || rect.Empty()) return;
    painter_->save();
    painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter_->fillRect(rect.left, rect.top, rect.Width(), rect.Height(), Qt::white);
    painter_->restore();
}

void TQtSurface::DrawImage(const TImageStrip& strip, int index, int x, int y) {
    if (!painter_ || index < 0 || index >= strip.count) return;
    // Surfaces live for one paint event; the converted strip outlives them.
    // Strips are long-lived tables (GutterImages()), so their address names them.
    static const TImageStrip* convertedFrom = nullptr;
    static QImage converted;
    if (convertedFrom != &strip) {
        converted =
            QImage(reinterpret_cast<const uchar*>(strip.pixels.data()), strip.imageWidth * strip.count,
                   strip.imageHeight, strip.imageWidth * strip.count * 4, QImage::Format_ARGB32)
                .copy();
        convertedFrom = &strip;
    }
    painter_->drawImage(x, y, converted, index * strip.imageWidth, 0, strip.imageWidth, strip.imageHeight);
}

} // namespace torvane::editor::qt
