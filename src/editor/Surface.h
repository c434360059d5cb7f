#pragma once
// Surface: a place to draw. The painter of the editor control draws every
// row through this interface, so the same painting code serves the Qt widget,
// a printer and the tests (which record the calls and assert on them).
//
// Conventions:
//   - coordinates are pixels, x to the right, y down; a TRect is half-open
//     ([left, right) x [top, bottom));
//   - colours are 0x00BBGGRR values (the stored form of the style records);
//     system colours (high bit set) are resolved by the painter before they
//     reach a surface, so a surface only ever sees plain RGB;
//   - text is 8-bit document bytes; a surface that shows Unicode maps them
//     through the Windows-1250 table (Cp1250Table.h);
//   - a text run's y is the top of its character cell, not the baseline.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::editor {

using TColor = uint32_t; // 0x00BBGGRR

constexpr TColor RgbColor(int r, int g, int b) noexcept {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int ColorRed(TColor c) noexcept {
    return static_cast<int>(c & 0xFF);
}
constexpr int ColorGreen(TColor c) noexcept {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int ColorBlue(TColor c) noexcept {
    return static_cast<int>((c >> 16) & 0xFF);
}

struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    bool Empty() const noexcept { return right <= left || bottom <= top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Font style bits, as in the style records.
enum : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFontSpec {
    std::string name = "Courier New";
    int size = 10; // points
    uint8_t style = 0;
    friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

struct TFontMetrics {
    int height = 0;          // character cell height
    int externalLeading = 0; // extra space the font asks for between rows
    int averageCharWidth = 0;
};

enum class TPenStyle : uint8_t { Solid, Dotted };

// A strip of equally sized images side by side, 32-bit ARGB pixels
// (0xAARRGGBB, row by row over the whole strip width).
struct TImageStrip {
    int imageWidth = 0;
    int imageHeight = 0;
    int count = 0;
    std::vector<uint32_t> pixels; // (imageWidth * count) x imageHeight

    uint32_t Pixel(int index, int x, int y) const noexcept {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(imageWidth * count) +
                      static_cast<size_t>(index * imageWidth + x)];
    }
};

class Surface {
public:
    virtual ~Surface() = default;

    virtual void FillRect(const TRect& rect, TColor color) = 0;

    // Selects the font for measuring and for the following text runs.
    virtual void SetFont(const TFontSpec& font) = 0;
    virtual TFontMetrics Metrics() = 0;
    virtual int TextWidth(std::string_view bytes) = 0;

    // Draws bytes with the current font at (x, y). With opaque set, cell is
    // first filled with back; otherwise the background stays as it is.
    virtual void TextRun(const TRect& cell, int x, int y, std::string_view bytes, TColor fore, TColor back,
                         bool opaque) = 0;

    // A one-pixel line from (x1, y1) to (x2, y2), end point excluded.
    virtual void Line(int x1, int y1, int x2, int y2, TColor color, TPenStyle pen) = 0;
    // A line that inverts what it crosses; drawing it twice restores the
    // pixels (used while dragging the wrap column).
    virtual void XorLine(int x1, int y1, int x2, int y2) = 0;

    virtual void DrawImage(const TImageStrip& strip, int index, int x, int y) = 0;
};

} // namespace torvane::editor
