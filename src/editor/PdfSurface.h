#pragma once
// TPdfSurface: a printer that writes a PDF file, without any toolkit, so the
// headless tool and the program print the same pages.
//
// Units are printer pixels at 300 dpi (the page rectangle 2550 x 3300 is a
// Letter page); one content-stream transform maps them onto PDF points with
// y pointing down, as on every other surface.
//
// Fonts: every font family is shown as the PDF viewer's built-in Courier
// (regular, bold, oblique, bold oblique), which needs nothing embedded and
// measures exactly: each character is 0.6 em wide. The document bytes are
// Windows-1250; the font's encoding tells the viewer which glyph each byte
// is, so Czech letters print and copy out as themselves. Underline and
// strike out are bars in the text's colour; images are not drawn (nothing
// printed asks for them).
//
// The file is written at EndDoc, through a temporary file beside it, so a
// failed job leaves an older file of the same name as it was.

#include "editor/Printing.h"

#include <string>
#include <vector>

namespace torvane::editor {

class TPdfSurface final : public TPrinterSurface {
public:
    static constexpr int kDpi = 300;

    explicit TPdfSurface(std::string fileName, TRect page = kDefaultPageRect);

    bool BeginDoc(const std::string& title) override;
    bool NewPage() override;
    bool EndDoc() override;
    void AbortDoc() override;
    std::string ErrorMessage() const override { return error_; }

    void FillRect(const TRect& rect, TColor color) override;
    void SetFont(const TFontSpec& font) override { font_ = font; }
    TFontMetrics Metrics() override;
    int TextWidth(std::string_view bytes) override;
    void TextRun(const TRect& cell, int x, int y, std::string_view bytes, TColor fore, TColor back,
                 bool opaque) override;
    void Line(int x1, int y1, int x2, int y2, TColor color, TPenStyle pen) override;
    void XorLine(int, int, int, int) override {}
    void DrawImage(const TImageStrip&, int, int, int) override {}

    int PageCount() const noexcept { return static_cast<int>(pages_.size()); }

private:
    double EmPixels() const noexcept { return font_.size * double{kDpi} / 72.0; }
    void FinishPage();

    std::string fileName_;
    TRect page_;
    std::string title_;
    TFontSpec font_;
    std::string content_;            // the page being drawn
    std::vector<std::string> pages_; // finished content streams
    bool open_ = false;
    std::string error_;
};

} // namespace torvane::editor
