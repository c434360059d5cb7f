#pragma once
// The system's printers as the editor's printer surface: a QPainter on a
// QPrinter at 300 dpi, so the page rectangle of the printing code is the
// printer's own pixels.

#include "editor/Printing.h"
#include "editor/qt/QtSurface.h"

#include <QPainter>

#include <memory>

class QPrinter;

namespace torvane::editor::qt {

// True when the system has a default printer to print on.
bool HasDefaultPrinter();

class TQtPrinterSurface final : public TPrinterSurface {
public:
    static constexpr int kDpi = 300;

    // The default printer.
    TQtPrinterSurface();
    ~TQtPrinterSurface() override;

    bool BeginDoc(const std::string& title) override;
    bool NewPage() override;
    bool EndDoc() override;
    void AbortDoc() override;
    std::string ErrorMessage() const override { return error_; }

    void FillRect(const TRect& rect, TColor color) override { surface_.FillRect(rect, color); }
    void SetFont(const TFontSpec& font) override { surface_.SetFont(font); }
    TFontMetrics Metrics() override { return surface_.Metrics(); }
    int TextWidth(std::string_view bytes) override { return surface_.TextWidth(bytes); }
    void TextRun(const TRect& cell, int x, int y, std::string_view bytes, TColor fore, TColor back,
                 bool opaque) override {
        surface_.TextRun(cell, x, y, bytes, fore, back, opaque);
    }
    void Line(int x1, int y1, int x2, int y2, TColor color, TPenStyle pen) override {
        surface_.Line(x1, y1, x2, y2, color, pen);
    }
    void XorLine(int, int, int, int) override {}
    void DrawImage(const TImageStrip& strip, int index, int x, int y) override {
        surface_.DrawImage(strip, index, x, y);
    }

private:
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    TQtSurface surface_;
    std::string error_;
};

} // namespace torvane::editor::qt
