// The mouse of TTessaryCommands: the click cycle, the gutter and the left
// margin, word and line selection, drag-extend, and the start of a drag of
// the selection.

#include "editor/Columns.h"
#include "editor/Painter.h"
#include "editor/TessaryCommands.h"
#include "highlight/ShortCut.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace torvane::editor {

void TTessaryCommands::SelectWordAt(TOffset offset) {
    const TLineIndex line = Store().LineOfOffset(offset);
    const std::string_view text = Store().NodeText(line);
    const TOffset lineStart = Store().LineStart(line);
    const TOffset visible = Geometry().VisibleEnd(line) - lineStart;
    TOffset start = offset - lineStart, end = start;
    while (start > 0 && control_.InWord(static_cast<uint8_t>(text[static_cast<size_t>(start - 1)])))
        --start;
    while (end < visible && control_.InWord(static_cast<uint8_t>(text[static_cast<size_t>(end)])))
        ++end;
    if (start < end) control_.SetSelection(lineStart + start, lineStart + end, true);
}

void TTessaryCommands::SelectLine(TLineIndex line) {
    TLineIndex first = line, last = line;
    while (first > 0 && Store().Node(first).IsContinuation())
        --first;
    while (last + 1 < Store().LineCount() && Store().Node(last + 1).IsContinuation())
        ++last;
    control_.SetSelection(Store().LineStart(first), Store().LineStart(last) + Store().Node(last).length,
                          true);
}

void TTessaryCommands::MouseDown(const TMouseInput& mouse) {
    const auto batch = InputBatch();
    dragPending_ = false;
    if (mouse.button != TMouseButton::Left) return;
    control_.ForgetColumn();
    const int64_t now = Clock ? Clock() : 0;
    clickCount_ = clickCount_ > 0 && now - lastClickTime_ <= doubleClickMs_ ? clickCount_ % 4 + 1 : 1;
    lastClickTime_ = now;

    if (mouse.x < control_.Metrics().gutterRight) {
        TLineIndex line = control_.TopLine() + std::max(0, mouse.y) / control_.Metrics().rowHeight;
        if (line >= Store().LineCount()) return;
        while (line > 0 && Store().Node(line).IsContinuation())
            --line;
        if (OnGutterClick) OnGutterClick(line + 1);
        return;
    }
    if (WrapColumnHit(mouse.x) >= 0) {
        clickCount_ = 0; // a grab of the line is no click: the next press starts a new count
        draggingWrapColumn_ = true;
        control_.SetWrapDragColumn(control_.WrapAtColumn());
        return;
    }
    const TLineIndex line = Geometry().RowAt(mouse.y);
    if (mouse.x < control_.Metrics().textLeft) {
        SelectLine(line);
        lastClickLine_ = line;
        return;
    }

    const TOffset offset = Geometry().NearestOffset(line, mouse.x);
    if (mouse.modifiers & kscShift) {
        PlaceCaret(line, mouse.x, true);
        dragging_ = true;
    } else if (clickCount_ == 2) {
        PlaceCaret(line, mouse.x, false);
        if (control_.Options() & smoWordSelect) SelectWordAt(offset);
    } else if (clickCount_ == 3 && line == lastClickLine_) {
        if (OnTripleClick)
            OnTripleClick(mouse.x, mouse.y, offset);
        else
            SelectLine(line);
    } else if (clickCount_ == 1 && (control_.Options() & smoOLEDragSource) &&
               InsideSelection(line, mouse.x)) {
        // The selection stays: it may be dragged.
        dragPending_ = true;
        pressed_ = mouse;
    } else {
        PlaceCaret(line, mouse.x, false);
        dragging_ = true;
    }
    lastClickLine_ = line;
}

int32_t TTessaryCommands::ColumnNearest(int x) const {
    const TCaretMetrics& m = control_.Metrics();
    const int from = x - m.textLeft;
    return control_.LeftColumn() +
           (from >= 0 ? from + m.charWidth / 2 : from - m.charWidth / 2) / m.charWidth;
}

int32_t TTessaryCommands::WrapColumnHit(int x) const {
    const uint32_t options = control_.Options();
    const int32_t column = control_.WrapAtColumn();
    if (!(options & smoWordWrap) || !(options & smoShowWrapColumn) || column < 1) return -1;
    const TCaretMetrics& m = control_.Metrics();
    const int lineX = m.textLeft + (column - control_.LeftColumn()) * m.charWidth;
    return std::abs(x - lineX) <= 2 ? column : -1;
}

void TTessaryCommands::PlaceCaret(TLineIndex line, int x, bool extend) {
    const int32_t column = Geometry().ColumnAt(x);
    if (control_.CaretBeyondEndMode() && column > Geometry().EndColumn(line))
        MoveBeyond(line, column, extend);
    else
        MoveCaret(Geometry().NearestOffset(line, x), extend);
}

bool TTessaryCommands::InsideSelection(TLineIndex line, int x) const {
    if (control_.SelStart() == control_.SelEnd() || x < control_.Metrics().textLeft) return false;
    const int cw = std::max(1, control_.Metrics().charWidth);
    const int32_t cell = control_.LeftColumn() + (x - control_.Metrics().textLeft) / cw;
    // Right of a line's end only its line break can be under the pointer.
    const TOffset offset = cell >= Geometry().EndColumn(line)
                               ? Geometry().VisibleEnd(line)
                               : Geometry().OffsetOfColumn(line, cell, nullptr);
    return offset >= control_.SelStart() && offset < control_.SelEnd();
}

void TTessaryCommands::MouseMove(const TMouseInput& mouse) {
    if (draggingWrapColumn_) {
        control_.SetWrapDragColumn(std::max(1, ColumnNearest(mouse.x)));
        return;
    }
    if (dragPending_) {
        if (std::abs(mouse.x - pressed_.x) + std::abs(mouse.y - pressed_.y) < dragDistance_) return;
        dragPending_ = false;
        const auto batch = InputBatch();
        // Runs until the drop; a move into this control is done by then.
        control_.DragSelection();
        return;
    }
    if (!dragging_) return;
    const auto batch = InputBatch();
    PlaceCaret(Geometry().RowAt(mouse.y), mouse.x, true);
}

void TTessaryCommands::MouseUp(const TMouseInput&) {
    dragging_ = false;
    if (draggingWrapColumn_) {
        const auto batch = InputBatch();
        draggingWrapColumn_ = false;
        const int32_t column = control_.WrapDragColumn();
        control_.SetWrapDragColumn(-1);
        control_.SetWrapAtColumn(column);
    }
    if (dragPending_) {
        // A click inside the selection that was no drag: the caret goes there.
        dragPending_ = false;
        const auto batch = InputBatch();
        PlaceCaret(Geometry().RowAt(pressed_.y), pressed_.x, false);
    }
}

} // namespace torvane::editor
