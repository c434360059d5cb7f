#include "editor/Painter.h"

#include "editor/GutterImages.h"
#include "editor/SurfaceRecording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace torvane::editor {
namespace {

using Op = TRecordingSurface::Op;
using Kind = TRecordingSurface::Kind;

constexpr TColor kYellow = RgbColor(255, 255, 0);
constexpr TColor kBlue = RgbColor(0, 0, 255);
constexpr TColor kWhite = RgbColor(255, 255, 255);
constexpr TColor kSilver = 0xC0C0C0;

TRecordingSurface::FontModel CourierLike() {
    TRecordingSurface::FontModel m;
    m.cellWidth = 8;
    return m;
}

// A control set up as the document window sets up its editor.
class PainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        look.gutterColor = kYellow;
        look.selTextColor = kWhite;
        look.selTextBack = kBlue;
        painter.Measure(surface);
        ASSERT_TRUE(look.SetMargin(8, painter.Metrics().charWidth));
        view.clientWidth = 1000;
        view.clientHeight = painter.Metrics().rowHeight * 10;
        surface.Clear();
    }
    int Left() const { return painter.TextLeft(); }
    int Cw() const { return painter.Metrics().charWidth; }
    int Row(int r) const { return r * painter.Metrics().rowHeight; }
    std::vector<Op> TextOn(int row) const {
        std::vector<Op> out;
        for (const Op& op : surface.OfKind(Kind::Text))
            if (op.rect.top == Row(row)) out.push_back(op);
        return out;
    }
    // The text run of a row that drew exactly text.
    std::optional<Op> RunWith(int row, const std::string& text) const {
        for (const Op& op : TextOn(row))
            if (op.text == text) return op;
        return std::nullopt;
    }
    void PaintAll() { painter.PaintRows(surface, view, 0, painter.VisibleLines(view)); }

    TTextStore store;
    TTabStops tabs; // TabDefault 4, no columns
    TStyleTable styles;
    TAppearance look;
    TRecordingSurface surface{CourierLike()};
    TPainter painter{store, tabs, styles, look};
    TViewState view;
};

TEST_F(PainterTest, MetricsFollowTheFont) {
    const TPaintMetrics& m = painter.Metrics();
    EXPECT_EQ(m.textHeight, 15); // measured bold italic
    EXPECT_EQ(m.extraLeading, 2);
    EXPECT_EQ(m.rowHeight, 17);
    EXPECT_EQ(m.charWidth, 8);
    EXPECT_TRUE(m.fixedPitch);
    EXPECT_EQ(m.columnWidth, 8);
    EXPECT_EQ(painter.TextLeft(), 34 + 8);

    TRecordingSurface::FontModel proportional;
    proportional.proportional = true;
    proportional.cellWidth = 0; // a font that reports no width
    proportional.height = -1;   // 0 once bold italic adds its pixel
    TRecordingSurface odd(proportional);
    painter.Measure(odd);
    EXPECT_FALSE(painter.Metrics().fixedPitch);
    EXPECT_EQ(painter.Metrics().columnWidth, 8);
    EXPECT_EQ(painter.Metrics().charWidth, 7);
    EXPECT_EQ(painter.Metrics().textHeight, 17);
}

TEST_F(PainterTest, TabMovesTheNextCharacterToItsStop) {
    store.SetText("a\tb");
    const std::vector<uint8_t> tokens{1, 2, 3};
    store.SetNodeStyles(0, tokens);
    for (uint8_t t = 1; t <= 3; ++t) {
        TStyleRecord r;
        r.foreground = t;
        r.defined = true;
        styles.SetStyle(t, r);
        styles.MapToken(t, t);
    }
    PaintAll();
    const auto b = RunWith(0, "b");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->x, Left() + 4 * Cw());
    const auto gap = RunWith(0, "   ");
    ASSERT_TRUE(gap);
    EXPECT_EQ(gap->fore, 2u); // the expansion is painted in the TAB's style
    EXPECT_EQ(gap->rect, (TRect{Left() + Cw(), 0, Left() + 4 * Cw(), Row(1)}));

    // Scrolled two columns to the right, b is two columns from the text left.
    surface.Clear();
    view.leftColumn = 2;
    PaintAll();
    ASSERT_TRUE(RunWith(0, "b"));
    EXPECT_EQ(RunWith(0, "b")->x, Left() + 2 * Cw());
}

TEST_F(PainterTest, SelectionOverATabCoversItsFourColumns) {
    store.SetText("a\tb\rnext");
    view.anchor = 1;
    view.caret = 2;
    PaintAll();
    std::vector<Op> selected;
    for (const Op& op : TextOn(0))
        if (op.back == kBlue) selected.push_back(op);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].text, "   ");
    EXPECT_EQ(selected[0].fore, kWhite);
    EXPECT_EQ(selected[0].rect.left, Left() + Cw());
    EXPECT_EQ(selected[0].rect.right, Left() + 4 * Cw());

    // Without the focus a hidden selection is not shown; a selection that
    // includes the line break reaches the right edge.
    surface.Clear();
    view.focused = false;
    PaintAll();
    for (const Op& op : surface.OfKind(Kind::Text))
        EXPECT_NE(op.back, kBlue);
    surface.Clear();
    view.focused = true;
    view.anchor = 2;
    view.caret = 6;
    PaintAll();
    const auto fills = surface.OfKind(Kind::Fill);
    EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), [&](const Op& op) {
        return op.rect.top == 0 && op.rect.right == view.clientWidth && op.fore == kBlue &&
               op.rect.left == Left() + 5 * Cw();
    }));
}

TEST_F(PainterTest, DocumentWindowShowsSilverLineAtColumn80YellowGutterAndNoNumbers) {
    store.SetText("one\rtwo");
    PaintAll();
    const int rows = painter.VisibleLines(view) + 1;
    int silver = 0;
    for (const Op& op : surface.OfKind(Kind::Line))
        if (op.fore == kSilver) {
            EXPECT_EQ(op.x, Left() + 80 * Cw());
            EXPECT_EQ(op.x2, op.x);
            EXPECT_EQ(op.y2 - op.y, painter.Metrics().rowHeight);
            EXPECT_EQ(op.pen, TPenStyle::Solid);
            ++silver;
        }
    EXPECT_EQ(silver, rows); // the empty rows below the text too
    const auto fills = surface.OfKind(Kind::Fill);
    EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), [](const Op& op) {
        return op.rect == TRect{0, 0, 34, 17} && op.fore == kYellow;
    }));
    // The white line 2 px left of the gutter's right edge.
    const auto lines = surface.OfKind(Kind::Line);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const Op& op) { return op.x == 32 && op.fore == kWhite; }));
    for (const Op& op : surface.OfKind(Kind::Text))
        EXPECT_GE(op.x, Left()) << "no line number expected: " << op.text;

    // With smoLineNumbers the 1-based numbers appear at x = 2.
    surface.Clear();
    look.options |= smoLineNumbers;
    PaintAll();
    ASSERT_TRUE(RunWith(0, "1"));
    EXPECT_EQ(RunWith(0, "1")->x, 2);
    EXPECT_FALSE(RunWith(0, "1")->opaque);
    ASSERT_TRUE(RunWith(1, "2"));
    EXPECT_FALSE(RunWith(2, "3")); // no line there

    // Scrolled past column 80 the line is gone.
    surface.Clear();
    view.leftColumn = 81;
    PaintAll();
    for (const Op& op : surface.OfKind(Kind::Line))
        EXPECT_NE(op.fore, kSilver);
}

TEST_F(PainterTest, AppearanceLimitsRefuseBadValues) {
    EXPECT_FALSE(look.SetGutter(20, 1000));
    EXPECT_EQ(look.gutter, 34);
    EXPECT_TRUE(look.SetGutter(0, 1000));
    EXPECT_TRUE(look.SetGutter(200, 1000));
    EXPECT_FALSE(look.SetGutter(201, 1000)); // more than a fifth
    EXPECT_EQ(look.gutter, 200);
    EXPECT_FALSE(look.SetMargin(8, 7));
    EXPECT_EQ(look.margin, 8);
    EXPECT_TRUE(look.SetMargin(7, 7));
    EXPECT_FALSE(look.SetIndentStep(0));
    EXPECT_FALSE(look.SetIndentStep(20));
    EXPECT_TRUE(look.SetIndentStep(19));
}

TEST_F(PainterTest, GutterShowsTheImageOfTheHighestMarkBit) {
    store.SetText("a\rb\rc\r" + std::string(3000, 'x'));
    store.SetBookmarks(0, 1u << 3);
    store.SetGutterMark(1, 1u << 13);
    look.options |= smoLineNumbers;
    look.options &= ~smoShowWrapGlyph;
    PaintAll();
    auto images = surface.OfKind(Kind::Image);
    ASSERT_EQ(images.size(), 2u); // the continuation glyph only with smoShowWrapGlyph
    EXPECT_EQ(images[0].image, 3);
    EXPECT_EQ(images[0].y, Row(0) + (17 - kGutterImageHeight) / 2);
    EXPECT_EQ(images[1].image, 13);
    EXPECT_FALSE(RunWith(0, "1")); // a mark replaces the number
    EXPECT_TRUE(RunWith(2, "3"));
    EXPECT_TRUE(RunWith(3, "4"));
    EXPECT_FALSE(RunWith(4, "5")); // continuation segment: no number

    surface.Clear();
    look.options |= smoShowWrapGlyph;
    PaintAll();
    images = surface.OfKind(Kind::Image);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[2].image, 12);
}

TEST_F(PainterTest, ErrorLineHighlightIsRedAndTokensKeepTheirStylesElsewhere) {
    store.SetText("ok\rerror\rok");
    store.SetHighlight(1, 255, -1);
    PaintAll();
    ASSERT_TRUE(RunWith(1, "error"));
    EXPECT_EQ(RunWith(1, "error")->back, RgbColor(255, 0, 0));
    const auto fills = surface.OfKind(Kind::Fill);
    EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), [&](const Op& op) {
        return op.rect.top == Row(1) && op.rect.right == view.clientWidth && op.fore == RgbColor(255, 0, 0);
    }));
    EXPECT_EQ(RunWith(0, "ok")->back, kWhite);

    // A defined style 255 is used as it is.
    TStyleRecord green;
    green.background = RgbColor(0, 255, 0);
    green.defined = true;
    styles.SetStyle(255, green);
    surface.Clear();
    PaintAll();
    EXPECT_EQ(RunWith(1, "error")->back, RgbColor(0, 255, 0));
}

TEST_F(PainterTest, StyleDefaultsAndSystemColoursAreResolved) {
    store.SetText("ab");
    const std::vector<uint8_t> tokens{0, 7};
    store.SetNodeStyles(0, tokens);
    TStyleRecord base;
    base.fgDefault = true; // style 0: the window text colour
    base.background = RgbColor(1, 2, 3);
    styles.SetStyle(0, base);
    TStyleRecord bold;
    bold.fontStyle = fsBold;
    bold.foreground = RgbColor(9, 9, 9);
    bold.bgDefault = true; // style 0's background
    bold.defined = true;
    styles.SetStyle(7, bold);
    styles.MapToken(7, 7);
    PaintAll();
    const auto a = RunWith(0, "a");
    const auto b = RunWith(0, "b");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->fore, painter.SystemColors().rgb[clWindowText]);
    EXPECT_EQ(a->back, RgbColor(1, 2, 3));
    EXPECT_EQ(b->fore, RgbColor(9, 9, 9));
    EXPECT_EQ(b->back, RgbColor(1, 2, 3));
    EXPECT_EQ(b->font.style, fsBold);
}

TEST_F(PainterTest, PaintRepaintsOnlyMarkedRowsAndClearsTheirMark) {
    store.SetText("a\rb\rc");
    EXPECT_EQ(painter.Paint(surface, view, true), painter.VisibleLines(view) + 1);
    for (TLineIndex i = 0; i < 3; ++i)
        EXPECT_EQ(store.Node(i).state & kStateRepaint, 0u);
    // Nothing marked (re-highlighting done) -> nothing painted.
    for (TLineIndex i = 0; i < 3; ++i)
        store.SetNodeState(i, 0);
    surface.Clear();
    EXPECT_EQ(painter.Paint(surface, view, false), 0);
    store.SetNodeState(1, kStateRepaint);
    EXPECT_EQ(painter.Paint(surface, view, false), 1);
    ASSERT_EQ(surface.OfKind(Kind::Text).size(), 1u);
    EXPECT_EQ(surface.OfKind(Kind::Text)[0].y, Row(1));
}

TEST_F(PainterTest, EndOfLineAndWrapColumnAppearWithTheirOptions) {
    store.SetText("ab\rcd");
    look.options |= smoShowAllChars | smoWordWrap | smoShowWrapColumn;
    look.wrapAtColumn = 40;
    PaintAll();
    ASSERT_TRUE(RunWith(0, "\xB6"));
    EXPECT_EQ(RunWith(0, "\xB6")->x, Left() + 2 * Cw());
    EXPECT_FALSE(RunWith(1, "\xB6")); // last line has no break
    const auto lines = surface.OfKind(Kind::Line);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const Op& op) {
        return op.pen == TPenStyle::Dotted && op.x == Left() + 40 * Cw() && op.fore == kSilver;
    }));
}

TEST_F(PainterTest, CaretShapeFollowsModeAndFocus) {
    store.SetText("a\tbc");
    view.caret = view.anchor = 2;
    auto caret = painter.CaretRect(surface, view);
    ASSERT_TRUE(caret);
    EXPECT_EQ(*caret, (TRect{Left() + 4 * Cw(), 0, Left() + 4 * Cw() + 2, 17}));

    view.insertMode = false; // block overwrite caret (the document window's option)
    EXPECT_EQ(painter.CaretRect(surface, view)->Width(), Cw());
    view.caret = view.anchor = 1; // on the TAB: as wide as its expansion
    EXPECT_EQ(painter.CaretRect(surface, view)->Width(), 3 * Cw());
    look.options &= ~smoBlockOverwriteCursor;
    EXPECT_EQ(painter.CaretRect(surface, view)->Width(), 2);

    view.caretBeyondEnd = true;
    view.virtualColumn = 10;
    EXPECT_EQ(painter.CaretRect(surface, view)->left, Left() + 10 * Cw());
    view.focused = false;
    EXPECT_FALSE(painter.CaretRect(surface, view));
    view.focused = true;
    view.leftColumn = 11; // scrolled away
    EXPECT_FALSE(painter.CaretRect(surface, view));
}

TEST_F(PainterTest, PointsMapToOffsetsAndBack) {
    store.SetText("a\tb\rsecond line");
    // Inside the TAB's cells: the nearer edge.
    EXPECT_EQ(painter.OffsetAtPoint(view, Left() + Cw() + 2, 3), 1);
    EXPECT_EQ(painter.OffsetAtPoint(view, Left() + 3 * Cw() + 2, 3), 2);
    EXPECT_EQ(painter.OffsetAtPoint(view, Left() + 500, 3), 3); // past the end: before the CR
    EXPECT_EQ(painter.OffsetAtPoint(view, Left() - 1, 3), -1);  // margin
    EXPECT_EQ(painter.OffsetAtPoint(view, Left() + 5, Row(5)), -1);
    EXPECT_EQ(painter.NearestOffset(view, 0, Row(5)), 4); // start of the last line
    EXPECT_EQ(painter.NearestOffset(view, Left() + 2 * Cw(), Row(1) + 1), 6);

    const auto p = painter.PointOfOffset(view, 2);
    EXPECT_EQ(p.x, Left() + 4 * Cw());
    EXPECT_EQ(p.y, 0);
    view.topLine = 1;
    EXPECT_EQ(painter.OffsetAtPoint(view, Left() + 1, 1), 4);
}

TEST_F(PainterTest, OnDrawLineCanTakeOverTheText) {
    store.SetText("hidden");
    int calls = 0;
    painter.OnDrawLine = [&](TLineDrawData& d) {
        ++calls;
        EXPECT_EQ(d.text, "hidden");
        EXPECT_EQ(d.rect.left, Left());
        d.handled = true;
    };
    PaintAll();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(surface.OfKind(Kind::Text).empty());
}

TEST(GutterImages, SixteenDistinctImages) {
    const TImageStrip& strip = GutterImages();
    ASSERT_EQ(strip.count, 16);
    ASSERT_EQ(strip.imageWidth, 15);
    ASSERT_EQ(strip.imageHeight, 16);
    std::vector<std::vector<uint32_t>> seen;
    for (int i = 0; i < strip.count; ++i) {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < strip.imageHeight; ++y)
            for (int x = 0; x < strip.imageWidth; ++x)
                pixels.push_back(strip.Pixel(i, x, y));
        EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p >> 24; })) << i;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), pixels), 0) << "image " << i << " repeats another";
        seen.push_back(pixels);
    }
    EXPECT_EQ(GutterImageOfMarks(0), -1);
    EXPECT_EQ(GutterImageOfMarks(0x1003), 12);
    EXPECT_EQ(GutterImageOfMarks(0x8000), 15);
}

} // namespace
} // namespace torvane::editor
