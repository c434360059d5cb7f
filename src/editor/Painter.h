#pragma once
// TPainter: draws the rows of an editor control through a Surface.
//
// A row shows one node of the text store (a wrapped line's segments are
// nodes of their own, so row r is node topLine + r). Left to right a row is
//
//   | gutter (Gutter px, when smoShowGutter) | margin (Margin px) | text ...
//
// and "text left" is where column leftColumn starts. Every column is one
// character width wide: text runs, the selection, the caret, the margin
// lines and mouse positions all use x = textLeft + (column - leftColumn) *
// charWidth.
//
// Painting a row:
//   1. gutter: filled with GutterColor (the scroll-bar colour with the gutter
//      colour flag); a white vertical line 2 px left of its right edge when it
//      is wider than 9 px;
//   2. gutter content: the image of the highest mark bit (bit 12, a wrapped
//      line's continuation, only with smoShowWrapGlyph), the image of the
//      gutter mark's bit; with smoLineNumbers and no image, the 1-based node
//      number at x = 2 (continuation segments get none);
//   3. margin: MarginColor (style 0's background with the margin flag);
//   4. OnDrawLine, which may take over the drawing of the text;
//   5. text from the first visible column in runs of equal style (token byte
//      -> style through TStyleSource); the selection in the selection colours,
//      reaching to the right edge when it includes the line break; a line with
//      a highlight value in that style for the whole line; the rest of the row
//      in the default background;
//   6. with smoShowAllChars a pilcrow after a line that ends in CR, and with
//      word wrap and smoShowWrapGlyph a "»" after a continuing segment;
//   7. the right-margin line (solid, 0xC0C0C0, smoShowRMargin) and the wrap
//      column (dotted, smoWordWrap + smoShowWrapColumn + WrapAtColumn >= 1),
//      on text rows and on the empty rows below the text alike;
//   8. the node's repaint bit is cleared (Paint only).
//
// Cost: a row costs a constant number of store lookups (each logarithmic in
// the number of blocks) plus its visible characters, so painting a screen is
// independent of the size of the text.

#include "editor/Columns.h"
#include "editor/LineLayout.h"
#include "editor/Surface.h"
#include "editor/TextStore.h"
#include "highlight/EditorOptions.h"

#include <array>
#include <functional>
#include <optional>

namespace torvane::editor {

// System colours are stored as 0x80000000 + index.
constexpr TColor kSystemColorFlag = 0x80000000;
enum TSystemColor : uint8_t {
    clScrollBar = 0,
    clWindow = 5,
    clWindowText = 8,
    clHighlight = 13,
    clHighlightText = 14,
    clBtnFace = 15,
};
constexpr TColor SystemColor(TSystemColor index) noexcept {
    return kSystemColorFlag | index;
}

// RGB values of the system colours; a windowing layer may fill them from
// its palette.
struct TSystemColors {
    std::array<TColor, 32> rgb = Defaults();
    TColor Resolve(TColor color) const noexcept {
        return color & kSystemColorFlag ? rgb[color & 0x1F] : color & 0xFFFFFF;
    }

private:
    static std::array<TColor, 32> Defaults();
};

// A style record as the painter needs it.
struct TStyleRecord {
    uint8_t fontStyle = 0;
    TColor foreground = 0;
    TColor background = 0xFFFFFF;
    bool fgDefault = false; // use style 0's foreground (for style 0: the window text colour)
    bool bgDefault = false; // use style 0's background (for style 0: the window colour)
    bool defined = false;
};

// Where the painter takes its styles from: the token-to-style map and the
// style records of the settings object.
class TStyleSource {
public:
    virtual ~TStyleSource() = default;
    virtual uint8_t StyleOfToken(uint8_t token) const = 0;
    virtual TStyleRecord Style(uint8_t style) const = 0;
};

// A style with its colours resolved to RGB: style 0, and every style that
// asks for the default colours, take style 0's, whose defaults are the
// window colours.
TStyleRecord ResolveStyle(const TStyleSource& styles, const TSystemColors& system, uint8_t style);

// A plain table of 256 styles and the token map; until the settings object
// arrives, the control and the tests use this one. Style 0 is black on white.
class TStyleTable final : public TStyleSource {
public:
    TStyleTable();
    uint8_t StyleOfToken(uint8_t token) const override { return map_[token]; }
    TStyleRecord Style(uint8_t style) const override { return styles_[style]; }
    void SetStyle(uint8_t style, const TStyleRecord& record);
    void MapToken(uint8_t token, uint8_t style) { map_[token] = style; }

private:
    std::array<TStyleRecord, 256> styles_;
    std::array<uint8_t, 256> map_{};
};

// The appearance settings of the settings object that painting
// reads, with the limits their setters enforce. A refused value leaves the
// previous one in place and the setter returns false.
struct TAppearance {
    uint32_t options = kDefaultOptions;
    int gutter = 34;
    TColor gutterColor = SystemColor(clBtnFace);
    TFontSpec gutterFont{"Arial", 8, 0};
    TColor gutterFontColor = 0;
    int margin = 2;
    TColor marginColor = 0xFFFFFF;
    int rightMargin = 80;
    uint16_t wrapAtColumn = 0;
    TColor selTextColor = SystemColor(clHighlightText);
    TColor selTextBack = SystemColor(clHighlight);
    bool showFocusLine = false;
    int indentStep = 1;
    TFontSpec font; // "Courier New" 10
    // The colour flags of the settings object.
    bool marginColorFlag = false;  // margin in style 0's background
    bool selTextColorFlag = false; // selection keeps the tokens' own foreground
    bool selBackColorFlag = false; // selection keeps the tokens' own background
    bool gutterColorFlag = false;  // gutter in the scroll-bar colour

    // 0, or at least 34 and at most 20 % of the control's width.
    bool SetGutter(int width, int controlWidth) noexcept;
    // Not more than the character width (and not negative).
    bool SetMargin(int width, int charWidth) noexcept;
    // 1..19.
    bool SetIndentStep(int step) noexcept;

    bool Has(uint32_t option) const noexcept { return (options & option) != 0; }
};

struct TPaintMetrics {
    int gutterDigitWidth = 6; // widest digit of the gutter font
    int textHeight = 17;
    int extraLeading = 1;
    int rowHeight = 18;
    int charWidth = 7;
    bool fixedPitch = true;
    int columnWidth = 8;
    int gutterTextHeight = 0;
};

// What the control is showing; the painter keeps none of it between calls.
struct TViewState {
    TLineIndex topLine = 0;
    int32_t leftColumn = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    TOffset anchor = 0;
    TOffset caret = 0;
    bool focused = true;
    bool hideSelection = true;
    bool insertMode = true;
    bool caretBeyondEnd = false;
    int32_t virtualColumn = 0; // caret column while beyond the end of its line
    TOffset dropCaret = -1;    // while a drag is over the control: the caret shows here
};

// OnDrawLine: called before a row's text is drawn; setting handled stops
// the painter from drawing the text.
struct TLineDrawData {
    Surface* surface;
    TRect rect; // the text area of the row
    std::string_view text;
    TOffset offset; // of the node's first character
    int32_t firstColumn;
    bool handled = false;
};

class TCustomTessary;

class TPainter {
public:
    TPainter(TTextStore& store, const TTabStops& tabs, const TStyleSource& styles,
             const TAppearance& appearance);
    // Paints with the option word of this control instead of the
    // appearance's (nullptr: the appearance's again). The control must
    // outlive the binding.
    void BindControl(const TCustomTessary* control) noexcept;
    // Read for every row painted, so kept inline.
    uint32_t Options() const noexcept { return *options_; }

    // Measures the fonts; call after a font or settings change.
    void Measure(Surface& surface);
    const TPaintMetrics& Metrics() const noexcept { return metrics_; }
    TSystemColors& SystemColors() noexcept { return system_; }

    // The gutter's width: the appearance's, widened when the line numbers
    // need more room, so the last line's number is never cut.
    int GutterWidth() const noexcept;
    int TextLeft() const noexcept { return GutterWidth() + appearance_.margin; }
    int VisibleColumns(const TViewState& view) const noexcept;
    int VisibleLines(const TViewState& view) const noexcept;

    // Paints rows [firstRow, lastRow] counted from the top line, the empty
    // rows below the text included.
    void PaintRows(Surface& surface, const TViewState& view, int firstRow, int lastRow);
    // Paints every visible row that is marked for repaint or re-highlighting
    // (all of them when all is set) and clears the repaint bits; returns the
    // number of rows painted.
    int Paint(Surface& surface, const TViewState& view, bool all);

    // The caret rectangle, or nothing when the caret is not to be shown
    // (no focus, or outside the text area).
    std::optional<TRect> CaretRect(Surface& surface, const TViewState& view);

    // Display column of an offset in its node, and the client point of an
    // offset (the top left of its cell; EM_POSFROMCHAR).
    int32_t ColumnOfOffset(TOffset offset);
    struct TPoint {
        int x = 0, y = 0;
    };
    TPoint PointOfOffset(const TViewState& view, TOffset offset);
    // The offset at a client point, -1 outside the text area (EM_CHARFROMPOS).
    TOffset OffsetAtPoint(const TViewState& view, int x, int y);
    // The nearest offset to a client point, for the mouse: points above the
    // text go to the top row, below it to the last line, left of the text to
    // the line start.
    TOffset NearestOffset(const TViewState& view, int x, int y);

    // The style of a token with its defaults resolved to RGB.
    TStyleRecord ResolvedStyle(uint8_t style) const;

    std::function<void(TLineDrawData&)> OnDrawLine;

private:
    struct RowColors {
        TColor fore, back;
    };
    void PaintRow(Surface& surface, const TViewState& view, int row);
    void PaintGutter(Surface& surface, int y, TLineIndex line, const TLineNode* node);
    void PaintText(Surface& surface, const TViewState& view, int y, TLineIndex line, const TLineNode& node);
    void PaintMarginLines(Surface& surface, const TViewState& view, int y);
    // The column limit of the text area: the first column not visible.
    int32_t LastColumn(const TViewState& view) const noexcept;
    bool Has(uint32_t option) const noexcept { return (Options() & option) != 0; }

    const uint32_t* options_;                 // the bound control's option word or the appearance's
    const TCustomTessary* control_ = nullptr; // the bound control: its wrap column
    TTextStore& store_;
    const TTabStops& tabs_;
    const TStyleSource& styles_;
    const TAppearance& appearance_;
    TSystemColors system_;
    TPaintMetrics metrics_;
    TLineLayout layout_;
    // Digits of the line count, counted again only when the count changes.
    mutable TLineIndex digitsOf_ = -1;
    mutable int digits_ = 1;
};

} // namespace torvane::editor
