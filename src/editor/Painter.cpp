#include "editor/Painter.h"

#include "editor/GutterImages.h"
#include "editor/Tessary.h"

#include <algorithm>
#include <bit>
#include <string>

namespace torvane::editor {
namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kMarginLineColor = 0xC0C0C0;
// A line highlight whose style the scheme does not define is still shown:
// white on red, the colours of the document window's error line.
constexpr TColor kFallbackHighlightFore = 0xFFFFFF;
constexpr TColor kFallbackHighlightBack = 0x0000FF;
constexpr char kEndOfLineGlyph[] = "\xB6";   // pilcrow in the display code page
constexpr char kWrappedLineGlyph[] = "\xBB"; // right guillemet
// Gutter mark images sit to the right of the bookmark images.
constexpr int kGutterImageX = 2;
constexpr int kGutterMarkImageX = kGutterImageX + kGutterImageWidth + 1;

TFontSpec WithStyle(const TFontSpec& font, uint8_t style) {
    TFontSpec f = font;
    f.style = style;
    return f;
}

} // namespace

std::array<TColor, 32> TSystemColors::Defaults() {
    std::array<TColor, 32> rgb{};
    rgb.fill(0xC0C0C0);
    rgb[clScrollBar] = 0xC8C8C8;
    rgb[clWindow] = 0xFFFFFF;
    rgb[clWindowText] = 0x000000;
    rgb[clHighlight] = RgbColor(0, 120, 215);
    rgb[clHighlightText] = 0xFFFFFF;
    rgb[clBtnFace] = 0xF0F0F0;
    return rgb;
}

TStyleTable::TStyleTable() {
    styles_[0].defined = true;
}

void TStyleTable::SetStyle(uint8_t style, const TStyleRecord& record) {
    styles_[style] = record;
    if (style == 0) styles_[0].defined = true;
}

// ---- appearance limits --------------------------------------------------------

bool TAppearance::SetGutter(int width, int controlWidth) noexcept {
    // A gutter narrower than 34 px cannot hold an image and a number; one
    // wider than a fifth of the control leaves too little room for text.
    const bool fits = width == 0 || (width >= 34 && static_cast<int64_t>(width) * 5 <= controlWidth);
    if (fits) gutter = width;
    return fits;
}

bool TAppearance::SetMargin(int width, int charWidth) noexcept {
    const bool fits = width >= 0 && width <= charWidth;
    if (fits) margin = width;
    return fits;
}

bool TAppearance::SetIndentStep(int step) noexcept {
    const bool fits = step >= 1 && step <= 19;
    if (fits) indentStep = step;
    return fits;
}

// ---- painter ------------------------------------------------------------------

TPainter::TPainter(TTextStore& store, const TTabStops& tabs, const TStyleSource& styles,
                   const TAppearance& appearance)
    : options_(&appearance.options), store_(store), tabs_(tabs), styles_(styles), appearance_(appearance) {}

void TPainter::BindControl(const TCustomTessary* control) noexcept {
    control_ = control;
    options_ = control ? &control->OptionsWord() : &appearance_.options;
}

void TPainter::Measure(Surface& surface) {
    TPaintMetrics m;
    surface.SetFont(WithStyle(appearance_.font, fsBold | fsItalic));
    const TFontMetrics heavy = surface.Metrics();
    m.textHeight = heavy.height > 0 ? heavy.height : 17;
    m.extraLeading = heavy.externalLeading + 1;
    m.rowHeight = m.textHeight + m.extraLeading;
    m.charWidth = heavy.averageCharWidth;

    surface.SetFont(WithStyle(appearance_.font, 0));
    const int wideWidth = surface.TextWidth("W");
    m.fixedPitch = surface.TextWidth("i") == wideWidth;
    if (m.fixedPitch) m.charWidth = surface.Metrics().averageCharWidth;
    if (m.charWidth <= 0) m.charWidth = 7;
    m.columnWidth = m.fixedPitch ? wideWidth : 8;

    surface.SetFont(appearance_.gutterFont);
    m.gutterTextHeight = surface.Metrics().height;
    m.gutterDigitWidth = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        m.gutterDigitWidth = std::max(m.gutterDigitWidth, surface.TextWidth(std::string_view(&digit, 1)));
    metrics_ = m;
}

int TPainter::GutterWidth() const noexcept {
    if (!Has(smoShowGutter)) return 0;
    if (!Has(smoLineNumbers)) return appearance_.gutter;
    if (digitsOf_ != store_.LineCount()) {
        digitsOf_ = store_.LineCount();
        digits_ = 1;
        for (TLineIndex n = digitsOf_; n >= 10; n /= 10)
            ++digits_;
    }
    const int digits = digits_;
    // The number starts 2 px in and must end left of the white line 2 px
    // before the edge.
    const int needed = 2 + digits * metrics_.gutterDigitWidth + 4;
    return std::max(appearance_.gutter, needed);
}

int TPainter::VisibleColumns(const TViewState& view) const noexcept {
    return std::max(0, (view.clientWidth - TextLeft()) / metrics_.charWidth);
}

int TPainter::VisibleLines(const TViewState& view) const noexcept {
    return std::max(0, view.clientHeight / metrics_.rowHeight);
}

int32_t TPainter::LastColumn(const TViewState& view) const noexcept {
    // One more than the whole columns: a partly visible column is drawn too.
    return view.leftColumn + VisibleColumns(view) + 1;
}

TStyleRecord ResolveStyle(const TStyleSource& styles, const TSystemColors& system, uint8_t style) {
    const TStyleRecord base = styles.Style(0);
    const TColor baseFore = base.fgDefault ? SystemColor(clWindowText) : base.foreground;
    const TColor baseBack = base.bgDefault ? SystemColor(clWindow) : base.background;
    TStyleRecord r = style == 0 ? base : styles.Style(style);
    r.foreground = system.Resolve(r.fgDefault || style == 0 ? baseFore : r.foreground);
    r.background = system.Resolve(r.bgDefault || style == 0 ? baseBack : r.background);
    return r;
}

TStyleRecord TPainter::ResolvedStyle(uint8_t style) const {
    return ResolveStyle(styles_, system_, style);
}

int TPainter::Paint(Surface& surface, const TViewState& view, bool all) {
    const int rows = VisibleLines(view);
    int painted = 0;
    for (int row = 0; row <= rows; ++row) {
        const TLineIndex line = view.topLine + row;
        if (line >= store_.LineCount()) {
            if (!all) break;
            PaintRow(surface, view, row);
            ++painted;
            continue;
        }
        const uint16_t state = store_.Node(line).state;
        if (!all && (state & (kStateRepaint | kStateRehighlight)) == 0) continue;
        PaintRow(surface, view, row);
        ++painted;
        if (state & kStateRepaint) store_.SetNodeState(line, state & ~uint32_t{kStateRepaint});
    }
    return painted;
}

void TPainter::PaintRows(Surface& surface, const TViewState& view, int firstRow, int lastRow) {
    for (int row = std::max(0, firstRow); row <= lastRow; ++row)
        PaintRow(surface, view, row);
}

void TPainter::PaintRow(Surface& surface, const TViewState& view, int row) {
    const int y = row * metrics_.rowHeight;
    const TLineIndex line = view.topLine + row;
    const bool hasLine = line >= 0 && line < store_.LineCount();
    TLineNode node;
    if (hasLine) node = store_.Node(line);

    PaintGutter(surface, y, line, hasLine ? &node : nullptr);

    const TRect marginRect{GutterWidth(), y, TextLeft(), y + metrics_.rowHeight};
    if (!marginRect.Empty())
        surface.FillRect(marginRect, appearance_.marginColorFlag ? ResolvedStyle(0).background
                                                                 : system_.Resolve(appearance_.marginColor));

    if (hasLine)
        PaintText(surface, view, y, line, node);
    else
        surface.FillRect({TextLeft(), y, view.clientWidth, y + metrics_.rowHeight},
                         ResolvedStyle(0).background);

    PaintMarginLines(surface, view, y);
}

void TPainter::PaintGutter(Surface& surface, int y, TLineIndex line, const TLineNode* node) {
    const int width = GutterWidth();
    if (width <= 0) return;
    const int rowHeight = metrics_.rowHeight;
    const TColor back =
        system_.Resolve(appearance_.gutterColorFlag ? SystemColor(clScrollBar) : appearance_.gutterColor);
    surface.FillRect({0, y, width, y + rowHeight}, back);
    if (width > 9) surface.Line(width - 2, y, width - 2, y + rowHeight, kWhite, TPenStyle::Solid);
    if (!node) return;

    const int imageY = rowHeight > kGutterImageHeight ? y + (rowHeight - kGutterImageHeight) / 2 : y;
    uint16_t marks = node->marks;
    if (!Has(smoShowWrapGlyph)) marks &= static_cast<uint16_t>(~kMarkContinuation);
    const int image = GutterImageOfMarks(marks);
    if (image >= 0) surface.DrawImage(GutterImages(), image, kGutterImageX, imageY);
    const bool gutterMark = std::has_single_bit(node->gutterMark);
    if (gutterMark)
        surface.DrawImage(GutterImages(), std::countr_zero(node->gutterMark), kGutterMarkImageX, imageY);

    if (Has(smoLineNumbers) && image < 0 && !gutterMark && !node->IsContinuation()) {
        surface.SetFont(appearance_.gutterFont);
        const int textY = rowHeight >= 9 ? y + (rowHeight - metrics_.gutterTextHeight) / 2 : y;
        const std::string number = std::to_string(line + 1);
        surface.TextRun({0, y, width - 2, y + rowHeight}, 2, textY, number,
                        system_.Resolve(appearance_.gutterFontColor), back, false);
    }
}

void TPainter::PaintText(Surface& surface, const TViewState& view, int y, TLineIndex line,
                         const TLineNode& node) {
    const int rowHeight = metrics_.rowHeight;
    const int cw = metrics_.charWidth;
    const int left = TextLeft();
    const std::string_view text = store_.NodeText(line);
    const TOffset start = store_.LineStart(line);
    layout_.Build(text, store_.NodeStyles(line), node.HasTab(), tabs_);

    TLineDrawData draw{&surface, {left, y, view.clientWidth, y + rowHeight}, text, start, view.leftColumn};
    if (OnDrawLine) {
        OnDrawLine(draw);
        if (draw.handled) return;
    }

    // Selection inside this node, as display columns.
    const bool selectionShown = view.focused || !view.hideSelection;
    const TOffset selStart = std::min(view.anchor, view.caret);
    const TOffset selEnd = std::max(view.anchor, view.caret);
    const int32_t visible = layout_.VisibleLength();
    int32_t selFrom = 0, selTo = 0;
    bool selPastEnd = false;
    if (selectionShown && selStart != selEnd && selStart <= start + visible && selEnd > start) {
        selFrom = layout_.CharToColumn(std::clamp(selStart - start, 0, visible));
        selTo = layout_.CharToColumn(std::clamp(selEnd - start, 0, visible));
        selPastEnd = selEnd > start + visible;
    } else if (appearance_.showFocusLine && selectionShown && view.anchor == view.caret &&
               store_.LineOfOffset(view.caret) == line) {
        selFrom = 0;
        selTo = layout_.Columns();
        selPastEnd = true;
    }

    const TStyleRecord base = ResolvedStyle(0);
    const TColor selFore = system_.Resolve(appearance_.selTextColor);
    const TColor selBack = system_.Resolve(appearance_.selTextBack);
    auto styleAt = [&](int32_t column) -> uint8_t {
        if (node.highlight != -1) return static_cast<uint8_t>(node.highlight);
        const auto tokens = layout_.Tokens();
        return tokens.empty() ? 0 : styles_.StyleOfToken(tokens[static_cast<size_t>(column)]);
    };
    auto colorsOf = [&](uint8_t style, bool selected, uint8_t& fontStyle) {
        TStyleRecord r = ResolvedStyle(style);
        if (node.highlight != -1 && !styles_.Style(style).defined) {
            r.foreground = kFallbackHighlightFore;
            r.background = kFallbackHighlightBack;
        }
        fontStyle = r.fontStyle;
        if (selected) {
            if (!appearance_.selTextColorFlag) r.foreground = selFore;
            if (!appearance_.selBackColorFlag) r.background = selBack;
        }
        return r;
    };
    auto xOf = [&](int32_t column) { return left + (column - view.leftColumn) * cw; };

    // Text runs of equal style and selection state.
    const std::string_view display = layout_.Display();
    const int32_t lastColumn = std::min(layout_.Columns(), LastColumn(view));
    int32_t column = std::max(view.leftColumn, 0);
    while (column < lastColumn) {
        const uint8_t style = styleAt(column);
        const bool selected = column >= selFrom && column < selTo;
        int32_t end = column + 1;
        while (end < lastColumn && styleAt(end) == style && (end >= selFrom && end < selTo) == selected)
            ++end;
        uint8_t fontStyle = 0;
        const TStyleRecord colors = colorsOf(style, selected, fontStyle);
        surface.SetFont(WithStyle(appearance_.font, fontStyle));
        surface.TextRun({xOf(column), y, xOf(end), y + rowHeight}, xOf(column), y,
                        display.substr(static_cast<size_t>(column), static_cast<size_t>(end - column)),
                        colors.foreground, colors.background, true);
        column = end;
    }

    // The rest of the row; a selection that includes the line break goes on
    // to the right edge.
    const int restX = std::max(left, xOf(std::max(layout_.Columns(), view.leftColumn)));
    if (restX < view.clientWidth) {
        TColor restBack = base.background;
        if (selPastEnd) {
            uint8_t fontStyle = 0;
            restBack =
                colorsOf(node.highlight != -1 ? static_cast<uint8_t>(node.highlight) : 0, true, fontStyle)
                    .background;
        } else if (node.highlight != -1) {
            uint8_t fontStyle = 0;
            restBack = colorsOf(static_cast<uint8_t>(node.highlight), false, fontStyle).background;
        }
        surface.FillRect({restX, y, view.clientWidth, y + rowHeight}, restBack);
    }

    // End-of-line and wrapped-line glyphs, where the text ends.
    const int32_t glyphColumn = layout_.Columns();
    if (glyphColumn >= view.leftColumn && glyphColumn < LastColumn(view)) {
        const char* glyph = nullptr;
        if (Has(smoShowAllChars) && layout_.EndsWithBreak())
            glyph = kEndOfLineGlyph;
        else if (Has(smoWordWrap) && Has(smoShowWrapGlyph) && line + 1 < store_.LineCount() &&
                 store_.Node(line + 1).IsContinuation())
            glyph = kWrappedLineGlyph;
        if (glyph) {
            surface.SetFont(WithStyle(appearance_.font, 0));
            const int x = xOf(glyphColumn);
            surface.TextRun({x, y, x + cw, y + rowHeight}, x, y, glyph, base.foreground, base.background,
                            false);
        }
    }
}

void TPainter::PaintMarginLines(Surface& surface, const TViewState& view, int y) {
    const int visibleColumns = VisibleColumns(view);
    auto drawAt = [&](int32_t column, TPenStyle pen) {
        if (column < view.leftColumn || column > view.leftColumn + visibleColumns) return;
        const int x = TextLeft() + (column - view.leftColumn) * metrics_.charWidth;
        surface.Line(x, y, x, y + metrics_.rowHeight, kMarginLineColor, pen);
    };
    if (Has(smoShowRMargin)) drawAt(appearance_.rightMargin, TPenStyle::Solid);
    int32_t wrapColumn = appearance_.wrapAtColumn;
    if (control_)
        wrapColumn = control_->WrapDragColumn() >= 0 ? control_->WrapDragColumn() : control_->WrapAtColumn();
    if (Has(smoWordWrap) && Has(smoShowWrapColumn) && wrapColumn >= 1) drawAt(wrapColumn, TPenStyle::Dotted);
}

// ---- caret and positions ----------------------------------------------------

int32_t TPainter::ColumnOfOffset(TOffset offset) {
    const TLineIndex line = store_.LineOfOffset(offset);
    const std::string_view text = store_.NodeText(line);
    return CharToColumn(text, store_.Node(line).HasTab(), offset - store_.LineStart(line), tabs_);
}

std::optional<TRect> TPainter::CaretRect(Surface& surface, const TViewState& view) {
    // A drag shows where its text would go, focused or not.
    if (view.dropCaret >= 0) {
        TViewState dropping = view;
        dropping.caret = view.dropCaret;
        dropping.dropCaret = -1;
        dropping.focused = true;
        dropping.caretBeyondEnd = false;
        dropping.insertMode = true;
        return CaretRect(surface, dropping);
    }
    if (!view.focused) return std::nullopt;
    const TLineIndex line = store_.LineOfOffset(view.caret);
    const int row = line - view.topLine;
    if (row < 0 || row >= VisibleLines(view) + 1) return std::nullopt;
    const TOffset start = store_.LineStart(line);
    const std::string_view text = store_.NodeText(line);
    const bool hasTab = store_.Node(line).HasTab();
    const int32_t index = view.caret - start;
    const int32_t column =
        view.caretBeyondEnd ? view.virtualColumn : CharToColumn(text, hasTab, index, tabs_);
    if (column < view.leftColumn || column > view.leftColumn + VisibleColumns(view)) return std::nullopt;

    int width = 2;
    if (!view.insertMode && Has(smoBlockOverwriteCursor)) {
        width = metrics_.charWidth;
        const int32_t visible =
            static_cast<int32_t>(text.size()) - (!text.empty() && text.back() == kLineBreak);
        if (!view.caretBeyondEnd && index < visible) {
            const char c = text[static_cast<size_t>(index)];
            if (c == '\t') {
                width = (tabs_.NextStop(column) - column) * metrics_.charWidth;
            } else {
                surface.SetFont(WithStyle(appearance_.font, 0));
                width = surface.TextWidth(std::string_view(&text[static_cast<size_t>(index)], 1));
            }
        }
    }
    const int x = TextLeft() + (column - view.leftColumn) * metrics_.charWidth;
    const int y = row * metrics_.rowHeight;
    return TRect{x, y, x + width, y + metrics_.rowHeight};
}

TPainter::TPoint TPainter::PointOfOffset(const TViewState& view, TOffset offset) {
    const TLineIndex line = store_.LineOfOffset(offset);
    return {TextLeft() + (ColumnOfOffset(offset) - view.leftColumn) * metrics_.charWidth,
            (line - view.topLine) * metrics_.rowHeight};
}

TOffset TPainter::OffsetAtPoint(const TViewState& view, int x, int y) {
    if (x < TextLeft() || y < 0 || x >= view.clientWidth) return -1;
    const TLineIndex line = view.topLine + y / metrics_.rowHeight;
    if (line < 0 || line >= store_.LineCount()) return -1;
    return NearestOffset(view, x, y);
}

TOffset TPainter::NearestOffset(const TViewState& view, int x, int y) {
    const int row = std::max(0, y) / metrics_.rowHeight;
    const TLineIndex line = std::clamp<TLineIndex>(view.topLine + row, 0, store_.LineCount() - 1);
    const TLineNode node = store_.Node(line);
    layout_.Build(store_.NodeText(line), {}, node.HasTab(), tabs_);
    const int cw = metrics_.charWidth;
    // Pixel position within the line, measured from column 0.
    const int64_t px = std::max<int64_t>(0, int64_t{x} - TextLeft() + int64_t{view.leftColumn} * cw);
    const int32_t column = static_cast<int32_t>(std::min<int64_t>(px / cw, layout_.Columns()));
    int32_t index = layout_.ColumnToChar(column);
    if (index < layout_.VisibleLength()) {
        // The nearer edge of the character under the point.
        const int64_t from = int64_t{layout_.CharToColumn(index)} * cw;
        const int64_t to = int64_t{layout_.CharToColumn(index + 1)} * cw;
        if (px - from > to - px) ++index;
    }
    return store_.LineStart(line) + index;
}

} // namespace torvane::editor
