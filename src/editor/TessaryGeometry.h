#pragma once
// TTessaryGeometry: where the text of a control lies on screen, for the
// caret, the mouse and the position messages. It reads everything from the
// control that owns it (store, tabs, scroll position, font metrics and client
// size) and keeps nothing of its own, so it can never fall out of step.
//
// Every node of the store is one row; every display column is one character
// width wide (TABs expand to the next tab stop), so a column maps to
// x = textLeft + (column - LeftColumn()) * charWidth.

#include "editor/LineNode.h"

#include <cstdint>

namespace torvane::editor {

class TCustomTessary;
class TTextStore;

// The measurements of the font and the gutter that the control works with;
// the view measures them and hands them to the control.
struct TCaretMetrics {
    int gutterRight = 0; // right edge of the gutter in pixels (0: no gutter)
    int textLeft = 2;    // where column LeftColumn() starts: gutter + margin
    int rowHeight = 18;
    int charWidth = 7;
    bool fixedPitch = true; // "i" as wide as "W"
    friend bool operator==(const TCaretMetrics&, const TCaretMetrics&) = default;
};

class TTessaryGeometry {
public:
    explicit TTessaryGeometry(const TCustomTessary& control) noexcept : control_(control) {}
    TTessaryGeometry(const TTessaryGeometry&) = delete;
    TTessaryGeometry& operator=(const TTessaryGeometry&) = delete;

    // Display column of an offset in its node.
    int32_t ColumnOf(TOffset offset) const;
    // Offset of the end of a node's visible text (before its CR), and its column.
    TOffset VisibleEnd(TLineIndex line) const;
    int32_t EndColumn(TLineIndex line) const;
    // Offset in node line nearest to display column (rounding down); sets
    // beyond when the column lies right of the line end and caret-beyond-end
    // mode is on.
    TOffset OffsetOfColumn(TLineIndex line, int32_t column, bool* beyond) const;

    // Mouse: the row under y (clamped to the text), the display column of the
    // cell boundary nearest to x, the offset in a line nearest to x.
    TLineIndex RowAt(int y) const;
    int32_t ColumnAt(int x) const;
    TOffset NearestOffset(TLineIndex line, int x) const;

    // The top left of the offset's cell (EM_POSFROMCHAR); false for an offset
    // outside the text.
    bool PointOfOffset(TOffset offset, int* x, int* y) const;
    // The offset whose cell boundary is nearest to the point (EM_CHARFROMPOS);
    // -1 outside the text area: left of the text (gutter and margin), beyond
    // the client area, or below the last line.
    TOffset OffsetAtPoint(int x, int y) const;
    bool InClientArea(int x, int y) const noexcept;

    // Whole rows and columns of the text area (at least 1).
    int32_t Rows() const noexcept;
    int32_t Columns() const noexcept;

private:
    const TTextStore& Store() const noexcept;
    int64_t PixelInLine(int x) const noexcept;

    const TCustomTessary& control_;
};

} // namespace torvane::editor
