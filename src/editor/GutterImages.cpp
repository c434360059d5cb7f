#include "editor/GutterImages.h"

#include <array>
#include <bit>
#include <cstdlib>

namespace torvane::editor {
namespace {

constexpr uint32_t kClear = 0x00000000;
constexpr uint32_t kBoxFill = 0xFF2050C0;
constexpr uint32_t kBoxEdge = 0xFF102870;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kGreen = 0xFF20A040;
constexpr uint32_t kDarkGreen = 0xFF106020;
constexpr uint32_t kBlue = 0xFF3070E0;
constexpr uint32_t kRed = 0xFFD02020;
constexpr uint32_t kDarkRed = 0xFF801010;
constexpr uint32_t kOrange = 0xFFF09020;
constexpr uint32_t kGrey = 0xFF606060;

// Digits 0-9 in a 5 x 7 pixel font, one row per byte, bit 4 = leftmost.
constexpr std::array<std::array<uint8_t, 7>, 10> kDigits{{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}, // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}, // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}, // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}, // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}, // 9
}};

class Canvas {
public:
    Canvas(TImageStrip& strip, int index) : strip_(strip), index_(index) {}
    void Set(int x, int y, uint32_t argb) {
        if (x < 0 || y < 0 || x >= strip_.imageWidth || y >= strip_.imageHeight) return;
        strip_.pixels[static_cast<size_t>(y) * static_cast<size_t>(strip_.imageWidth * strip_.count) +
                      static_cast<size_t>(index_ * strip_.imageWidth + x)] = argb;
    }
    void Fill(int x0, int y0, int x1, int y1, uint32_t argb) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                Set(x, y, argb);
    }

private:
    TImageStrip& strip_;
    int index_;
};

void DrawDigitBox(Canvas& c, int digit) {
    // A 13 x 13 box with cut corners, its digit centred.
    const int x0 = 1, y0 = 1, x1 = 13, y1 = 13;
    c.Fill(x0 + 1, y0, x1 - 1, y1, kBoxFill);
    c.Fill(x0, y0 + 1, x1, y1 - 1, kBoxFill);
    for (int x = x0 + 1; x <= x1 - 1; ++x) {
        c.Set(x, y0, kBoxEdge);
        c.Set(x, y1, kBoxEdge);
    }
    for (int y = y0 + 1; y <= y1 - 1; ++y) {
        c.Set(x0, y, kBoxEdge);
        c.Set(x1, y, kBoxEdge);
    }
    const auto& rows = kDigits[static_cast<size_t>(digit)];
    for (int row = 0; row < 7; ++row)
        for (int bit = 0; bit < 5; ++bit)
            if (rows[static_cast<size_t>(row)] & (0x10 >> bit)) c.Set(5 + bit, 4 + row, kWhite);
}

void DrawFlag(Canvas& c) {
    c.Fill(3, 2, 3, 14, kGrey);
    for (int y = 2; y <= 8; ++y)
        c.Fill(4, y, 4 + (8 - std::abs(y - 5)), y, kGreen);
    c.Fill(4, 9, 5, 9, kDarkGreen);
}

void DrawDiamond(Canvas& c) {
    for (int y = 2; y <= 14; ++y) {
        const int half = 6 - std::abs(y - 8);
        c.Fill(7 - half, y, 7 + half, y, kBlue);
    }
}

void DrawWrapArrow(Canvas& c) {
    // Down from the top right, then left, ending in an arrow head.
    c.Fill(11, 2, 12, 10, kGrey);
    c.Fill(4, 9, 12, 10, kGrey);
    for (int i = 0; i < 4; ++i)
        c.Fill(3 + i, 9 - i, 3 + i, 10 + i, kGrey);
}

void DrawDisc(Canvas& c, uint32_t fill) {
    for (int y = 2; y <= 13; ++y)
        for (int x = 1; x <= 13; ++x) {
            const int dx = 2 * x - 14, dy = 2 * y - 15;
            const int d = dx * dx + dy * dy;
            if (d <= 144) c.Set(x, y, d >= 100 ? kDarkRed : fill);
        }
}

void DrawTriangle(Canvas& c) {
    for (int x = 3; x <= 12; ++x) {
        const int half = (12 - x) * 6 / 9;
        c.Fill(x, 8 - half, x, 7 + half, kOrange);
    }
}

TImageStrip Build() {
    TImageStrip strip;
    strip.imageWidth = kGutterImageWidth;
    strip.imageHeight = kGutterImageHeight;
    strip.count = kGutterImageCount;
    strip.pixels.assign(static_cast<size_t>(kGutterImageWidth * kGutterImageCount * kGutterImageHeight),
                        kClear);
    for (int digit = 0; digit < 10; ++digit) {
        Canvas c(strip, digit);
        DrawDigitBox(c, digit);
    }
    Canvas flag(strip, 10), diamond(strip, 11), wrap(strip, 12), breakpoint(strip, 13), codeBreak(strip, 14),
        position(strip, 15);
    DrawFlag(flag);
    DrawDiamond(diamond);
    DrawWrapArrow(wrap);
    DrawDisc(breakpoint, kRed);
    DrawDisc(codeBreak, kRed);
    codeBreak.Fill(4, 7, 10, 8, kWhite);
    DrawTriangle(position);
    return strip;
}

} // namespace

const TImageStrip& GutterImages() {
    static const TImageStrip strip = Build();
    return strip;
}

int GutterImageOfMarks(uint16_t marks) noexcept {
    return marks == 0 ? -1 : 15 - std::countl_zero(marks);
}

} // namespace torvane::editor
