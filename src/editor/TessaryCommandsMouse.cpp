// The mouse of TTessaryCommands: the click cycle, the gutter and the left
// margin, word and line selection, drag-extend.

#include "editor/Painter.h"
#include "editor/Columns.h"
#include "editor/TessaryCommands.h"
#include "highlight/ShortCut.h"

#include <algorithm>
#include <cstdint>

namespace torvane::editor {

TLineIndex TTessaryCommands::RowAt(int y) const {
    // Rounded towards minus infinity, so that a point just above the text is
    // the row above the top line.
    const int row = y >= 0 ? y / metrics_.rowHeight : -((-y + metrics_.rowHeight - 1) / metrics_.rowHeight);
    return std::clamp<TLineIndex>(control_.TopLine() + row, 0, Store().LineCount() - 1);
}

// The display column of the cell boundary nearest to x.
int32_t TTessaryCommands::ColumnAt(int x) const {
    const int64_t px = std::max<int64_t>(0, int64_t{x} - metrics_.textLeft +
                                                int64_t{control_.LeftColumn()} * metrics_.charWidth);
    return static_cast<int32_t>(
        std::min<int64_t>((px + metrics_.charWidth / 2) / metrics_.charWidth, 1 << 20));
}

TOffset TTessaryCommands::NearestOffset(TLineIndex line, int x) const {
    const std::string_view text = Store().NodeText(line);
    const bool hasTab = Store().Node(line).HasTab();
    const int64_t px = std::max<int64_t>(0, int64_t{x} - metrics_.textLeft +
                                                int64_t{control_.LeftColumn()} * metrics_.charWidth);
    const TOffset visible = VisibleEnd(line) - Store().LineStart(line);
    const int32_t column = static_cast<int32_t>(std::min<int64_t>(px / metrics_.charWidth, 1 << 20));
    TOffset index = ColumnToChar(text, hasTab, column, control_.Tabs());
    if (index > 0 && CharToColumn(text, hasTab, index, control_.Tabs()) > column) --index;
    if (index < visible) {
        // The nearer edge of the character under the point.
        const int64_t from = int64_t{CharToColumn(text, hasTab, index, control_.Tabs())} * metrics_.charWidth;
        const int64_t to =
            int64_t{CharToColumn(text, hasTab, index + 1, control_.Tabs())} * metrics_.charWidth;
        if (px - from > to - px) ++index;
    }
    return Store().LineStart(line) + std::min(index, visible);
}

bool TTessaryCommands::PointOfOffset(TOffset offset, int* x, int* y) const {
    if (offset < 0 || offset > Store().TextLength()) return false;
    const TLineIndex line = Store().LineOfOffset(offset);
    const int64_t px =
        metrics_.textLeft + (int64_t{ColumnOf(offset)} - control_.LeftColumn()) * metrics_.charWidth;
    const int64_t py = (int64_t{line} - control_.TopLine()) * metrics_.rowHeight;
    *x = static_cast<int>(std::clamp<int64_t>(px, INT32_MIN, INT32_MAX));
    *y = static_cast<int>(std::clamp<int64_t>(py, INT32_MIN, INT32_MAX));
    return true;
}

TOffset TTessaryCommands::OffsetAtPoint(int x, int y) const {
    if (x < metrics_.textLeft || !InClientArea(x, y)) return -1;
    const int64_t line = int64_t{control_.TopLine()} + y / metrics_.rowHeight;
    if (line >= Store().LineCount()) return -1;
    return NearestOffset(static_cast<TLineIndex>(line), x);
}

void TTessaryCommands::SelectWordAt(TOffset offset) {
    const TLineIndex line = Store().LineOfOffset(offset);
    const std::string_view text = Store().NodeText(line);
    const TOffset lineStart = Store().LineStart(line);
    const TOffset visible = VisibleEnd(line) - lineStart;
    TOffset start = offset - lineStart, end = start;
    while (start > 0 && InWord(static_cast<uint8_t>(text[static_cast<size_t>(start - 1)])))
        --start;
    while (end < visible && InWord(static_cast<uint8_t>(text[static_cast<size_t>(end)])))
        ++end;
    if (start < end) control_.SetSelection(lineStart + start, lineStart + end, true);
}

void TTessaryCommands::SelectLine(TLineIndex line) {
    TLineIndex first = line, last = line;
    while (first > 0 && Store().Node(first).IsContinuation())
        --first;
    while (last + 1 < Store().LineCount() && Store().Node(last + 1).IsContinuation())
        ++last;
    beyond_ = false;
    control_.SetSelection(Store().LineStart(first), Store().LineStart(last) + Store().Node(last).length,
                          true);
}

void TTessaryCommands::MouseDown(const TMouseInput& mouse) {
    Batch batch(*this);
    if (mouse.button != TMouseButton::Left) return;
    tracking_ = false;
    const int64_t now = Clock ? Clock() : 0;
    clickCount_ = clickCount_ > 0 && now - lastClickTime_ <= doubleClickMs_ ? clickCount_ % 4 + 1 : 1;
    lastClickTime_ = now;

    if (mouse.x < metrics_.gutterRight) {
        TLineIndex line = control_.TopLine() + std::max(0, mouse.y) / metrics_.rowHeight;
        if (line >= Store().LineCount()) return;
        while (line > 0 && Store().Node(line).IsContinuation())
            --line;
        if (OnGutterClick) OnGutterClick(line + 1);
        return;
    }
    const TLineIndex line = RowAt(mouse.y);
    if (mouse.x < metrics_.textLeft) {
        SelectLine(line);
        lastClickLine_ = line;
        return;
    }

    const TOffset offset = NearestOffset(line, mouse.x);
    const int32_t column = ColumnAt(mouse.x);
    auto placeCaret = [&](bool extend) {
        if (CaretBeyondEndMode() && column > EndColumn(line))
            MoveBeyond(line, column, extend);
        else
            MoveCaret(offset, extend);
    };

    if (mouse.modifiers & kscShift) {
        placeCaret(true);
        dragging_ = true;
    } else if (clickCount_ == 2) {
        placeCaret(false);
        if (control_.Options() & smoWordSelect) SelectWordAt(offset);
    } else if (clickCount_ == 3 && line == lastClickLine_) {
        if (OnTripleClick)
            OnTripleClick(mouse.x, mouse.y, offset);
        else
            SelectLine(line);
    } else {
        placeCaret(false);
        dragging_ = true;
    }
    lastClickLine_ = line;
}

void TTessaryCommands::MouseMove(const TMouseInput& mouse) {
    if (!dragging_) return;
    Batch batch(*this);
    const TLineIndex line = RowAt(mouse.y);
    const int32_t column = ColumnAt(mouse.x);
    if (CaretBeyondEndMode() && column > EndColumn(line))
        MoveBeyond(line, column, true);
    else
        MoveCaret(NearestOffset(line, mouse.x), true);
}

void TTessaryCommands::MouseUp(const TMouseInput&) {
    dragging_ = false;
}

} // namespace torvane::editor
