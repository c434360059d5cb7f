#pragma once
// TQtSurface: the editor's Surface over a QPainter. Document bytes are shown
// through the Windows-1250 table; colours arrive as 0x00BBGGRR. Without a
// painter the surface only measures (fonts need no paint device).

#include "editor/Surface.h"

#include <QFont>
#include <QFontMetrics>

#include <optional>

class QPainter;
class QPaintDevice;

namespace torvane::editor::qt {

QColor ToQColor(TColor color);
QFont ToQFont(const TFontSpec& font);
QString ToQString(std::string_view bytes);

class TQtSurface final : public Surface {
public:
    // Fonts are measured for metricsDevice (a printer's resolution), or for
    // the screen when it is null.
    explicit TQtSurface(QPainter* painter = nullptr, QPaintDevice* metricsDevice = nullptr);

    void FillRect(const TRect& rect, TColor color) override;
    void SetFont(const TFontSpec& font) override;
    TFontMetrics Metrics() override;
    int TextWidth(std::string_view bytes) override;
    void TextRun(const TRect& cell, int x, int y, std::string_view bytes, TColor fore, TColor back,
                 bool opaque) override;
    void Line(int x1, int y1, int x2, int y2, TColor color, TPenStyle pen) override;
    void XorLine(int x1, int y1, int x2, int y2) override;
    void DrawImage(const TImageStrip& strip, int index, int x, int y) override;

    // Inverts a rectangle (the caret).
    void InvertRect(const TRect& rect);

private:
    QPainter* painter_;
    QPaintDevice* metricsDevice_;
    TFontSpec spec_;
    QFont font_;
    QFontMetrics metrics_;
};

} // namespace torvane::editor::qt
