#pragma once
// TRecordingSurface: a Surface that draws nothing and remembers every call,
// with a made-up font whose measures the test chooses. Painting tests assert
// on what was drawn and where; the control's tests use it the same way.

#include "editor/Surface.h"

#include <string>
#include <vector>

namespace torvane::editor {

class TRecordingSurface final : public Surface {
public:
    enum class Kind : uint8_t { Fill, Text, Line, XorLine, Image };
    struct Op {
        Kind kind = Kind::Fill;
        TRect rect;          // Fill, Text: the cell
        int x = 0, y = 0;    // Text, Image: position; Line: start
        int x2 = 0, y2 = 0;  // Line: end
        std::string text;    // Text
        TColor fore = 0;     // Text: fore; Fill, Line: colour
        TColor back = 0;     // Text
        bool opaque = false; // Text
        TPenStyle pen = TPenStyle::Solid;
        TFontSpec font; // Text: the font selected when drawn
        int image = -1; // Image: index in the strip
    };

    // The made-up font: every character cellWidth pixels wide, except "i"
    // (narrowWidth) when proportional; bold and italic make it one pixel
    // taller so that the measuring order can be seen.
    struct FontModel {
        int cellWidth = 7;
        int narrowWidth = 3;
        bool proportional = false;
        int height = 14;
        int externalLeading = 1;
    };

    TRecordingSurface() = default;
    explicit TRecordingSurface(FontModel model) : model_(model) {}

    void FillRect(const TRect& rect, TColor color) override;
    void SetFont(const TFontSpec& font) override { font_ = font; }
    TFontMetrics Metrics() override;
    int TextWidth(std::string_view bytes) override;
    void TextRun(const TRect& cell, int x, int y, std::string_view bytes, TColor fore, TColor back,
                 bool opaque) override;
    void Line(int x1, int y1, int x2, int y2, TColor color, TPenStyle pen) override;
    void XorLine(int x1, int y1, int x2, int y2) override;
    void DrawImage(const TImageStrip& strip, int index, int x, int y) override;

    const std::vector<Op>& Ops() const noexcept { return ops_; }
    void Clear() noexcept { ops_.clear(); }
    // The operations of one kind, in drawing order.
    std::vector<Op> OfKind(Kind kind) const;

private:
    FontModel model_;
    TFontSpec font_;
    std::vector<Op> ops_;
};

} // namespace torvane::editor
