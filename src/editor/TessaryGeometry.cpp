#include "editor/TessaryGeometry.h"

#include "editor/Tessary.h"

#include <algorithm>
#include <climits>

namespace torvane::editor {
namespace {

// Until the view reports its size, pages are those of a 25 x 80 window.
constexpr int32_t kDefaultRows = 25;
constexpr int32_t kDefaultColumns = 80;

} // namespace

const TTextStore& TTessaryGeometry::Store() const noexcept {
    return control_.Store();
}

int32_t TTessaryGeometry::Rows() const noexcept {
    if (control_.ClientHeight() <= 0) return kDefaultRows;
    return std::max(1, control_.ClientHeight() / control_.Metrics().rowHeight);
}

int32_t TTessaryGeometry::Columns() const noexcept {
    if (control_.ClientWidth() <= 0) return kDefaultColumns;
    const TCaretMetrics& m = control_.Metrics();
    return std::max(1, (control_.ClientWidth() - m.textLeft) / m.charWidth);
}

bool TTessaryGeometry::InClientArea(int x, int y) const noexcept {
    return x >= 0 && y >= 0 && x < control_.ClientWidth() && y < control_.ClientHeight();
}

int32_t TTessaryGeometry::ColumnOf(TOffset offset) const {
    const TLineIndex line = Store().LineOfOffset(offset);
    return CharToColumn(Store().NodeText(line), Store().Node(line).HasTab(), offset - Store().LineStart(line),
                        control_.Tabs());
}

TOffset TTessaryGeometry::VisibleEnd(TLineIndex line) const {
    const std::string_view text = Store().NodeText(line);
    const bool breaks = !text.empty() && text.back() == kLineBreak;
    return Store().LineStart(line) + static_cast<TOffset>(text.size()) - (breaks ? 1 : 0);
}

int32_t TTessaryGeometry::EndColumn(TLineIndex line) const {
    return CharToColumn(Store().NodeText(line), Store().Node(line).HasTab(),
                        VisibleEnd(line) - Store().LineStart(line), control_.Tabs());
}

TOffset TTessaryGeometry::OffsetOfColumn(TLineIndex line, int32_t column, bool* beyond) const {
    const std::string_view text = Store().NodeText(line);
    const bool hasTab = Store().Node(line).HasTab();
    const TOffset start = Store().LineStart(line);
    if (beyond) *beyond = false;
    const int32_t endColumn = EndColumn(line);
    if (column >= endColumn) {
        if (beyond && column > endColumn && control_.CaretBeyondEndMode()) *beyond = true;
        return VisibleEnd(line);
    }
    int32_t index = ColumnToChar(text, hasTab, column, control_.Tabs());
    // Inside a TAB's cells: the TAB itself, not the character after it.
    if (index > 0 && CharToColumn(text, hasTab, index, control_.Tabs()) > column) --index;
    return start + index;
}

TLineIndex TTessaryGeometry::RowAt(int y) const {
    const int rowHeight = control_.Metrics().rowHeight;
    // Rounded towards minus infinity, so that a point just above the text is
    // the row above the top line.
    const int row = y >= 0 ? y / rowHeight : -((-y + rowHeight - 1) / rowHeight);
    return std::clamp<TLineIndex>(control_.TopLine() + row, 0, Store().LineCount() - 1);
}

int64_t TTessaryGeometry::PixelInLine(int x) const noexcept {
    const TCaretMetrics& m = control_.Metrics();
    return std::max<int64_t>(0, int64_t{x} - m.textLeft + int64_t{control_.LeftColumn()} * m.charWidth);
}

int32_t TTessaryGeometry::ColumnAt(int x) const {
    const int cw = control_.Metrics().charWidth;
    return static_cast<int32_t>(std::min<int64_t>((PixelInLine(x) + cw / 2) / cw, 1 << 20));
}

TOffset TTessaryGeometry::NearestOffset(TLineIndex line, int x) const {
    const std::string_view text = Store().NodeText(line);
    const bool hasTab = Store().Node(line).HasTab();
    const int cw = control_.Metrics().charWidth;
    const TTabStops& tabs = control_.Tabs();
    const int64_t px = PixelInLine(x);
    const TOffset visible = VisibleEnd(line) - Store().LineStart(line);
    const int32_t column = static_cast<int32_t>(std::min<int64_t>(px / cw, 1 << 20));
    TOffset index = ColumnToChar(text, hasTab, column, tabs);
    if (index > 0 && CharToColumn(text, hasTab, index, tabs) > column) --index;
    if (index < visible) {
        // The nearer edge of the character under the point.
        const int64_t from = int64_t{CharToColumn(text, hasTab, index, tabs)} * cw;
        const int64_t to = int64_t{CharToColumn(text, hasTab, index + 1, tabs)} * cw;
        if (px - from > to - px) ++index;
    }
    return Store().LineStart(line) + std::min(index, visible);
}

bool TTessaryGeometry::PointOfOffset(TOffset offset, int* x, int* y) const {
    if (offset < 0 || offset > Store().TextLength()) return false;
    const TCaretMetrics& m = control_.Metrics();
    const TLineIndex line = Store().LineOfOffset(offset);
    const int64_t px = m.textLeft + (int64_t{ColumnOf(offset)} - control_.LeftColumn()) * m.charWidth;
    const int64_t py = (int64_t{line} - control_.TopLine()) * m.rowHeight;
    *x = static_cast<int>(std::clamp<int64_t>(px, INT32_MIN, INT32_MAX));
    *y = static_cast<int>(std::clamp<int64_t>(py, INT32_MIN, INT32_MAX));
    return true;
}

TOffset TTessaryGeometry::OffsetAtPoint(int x, int y) const {
    if (x < control_.Metrics().textLeft || !InClientArea(x, y)) return -1;
    const int64_t line = int64_t{control_.TopLine()} + y / control_.Metrics().rowHeight;
    if (line >= Store().LineCount()) return -1;
    return NearestOffset(static_cast<TLineIndex>(line), x);
}

} // namespace torvane::editor
