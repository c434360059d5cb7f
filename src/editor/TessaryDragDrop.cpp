// Drag and drop of TCustomTessary: the drag source, the drop target and the
// file drop (WM_DROPFILES). The rules are told in TessaryDragDrop.h.

#include "editor/Tessary.h"

#include <algorithm>

namespace torvane::editor {

TDropEffect TCustomTessary::DragSelection() {
    if (!(options_ & smoOLEDragSource) || !host_ || anchor_ == caret_ || dragOrigin_.active) return deNone;
    // A move into this control is reported once the drag is over.
    Batch batch(*this);
    dragOrigin_ = {true, SelStart(), SelEnd(), SelStoredText()};
    struct EndDrag {
        TCustomTessary& control;
        ~EndDrag() {
            control.dragOrigin_ = {};
            control.ShowDropOffset(-1);
        }
    } endDrag{*this};
    return host_->DoDragDrop(SelectionData(true), deCopy | deMove);
}

TOffset TCustomTessary::DropOffsetAt(int x, int y) const {
    // Never left of the text: over the gutter the drop goes to the line start.
    const TLineIndex line = geometry_.RowAt(y);
    return geometry_.NearestOffset(line, std::max(x, metrics_.textLeft));
}

void TCustomTessary::ShowDropOffset(TOffset offset) {
    if (offset == dropOffset_) return;
    const TOffset old = dropOffset_;
    dropOffset_ = offset;
    // The rows of the old and the new place of the caret.
    for (TOffset at : {old, offset})
        if (at >= 0 && at <= store_->TextLength()) {
            const TLineIndex line = store_->LineOfOffset(at);
            InvalidateLines(line, line);
        }
}

TDropEffect TCustomTessary::DropEffectAt(TOffset offset, const TDragOffer& offer) const {
    if (offer.files && (options_ & smoProcessDroppedFiles) && OnFilesDropped)
        return offer.allowed & deCopy ? deCopy : deNone; // never a move: the files stay
    if (!offer.text || readOnly_) return deNone;
    if (dragOrigin_.active) {
        const bool move = !offer.copyKey && (offer.allowed & deMove);
        const TOffset start = dragOrigin_.start, end = dragOrigin_.end;
        if (move ? offset >= start && offset <= end : offset > start && offset < end) return deNone;
        if (move) return deMove;
    }
    if (offer.allowed & deCopy) return deCopy;
    return offer.allowed & deMove ? deMove : deNone;
}

TDropEffect TCustomTessary::DragOver(int x, int y, const TDragOffer& offer) {
    // Near the top or bottom edge the text scrolls a line, so a drop can
    // reach lines out of view.
    const int edge = std::max(1, metrics_.rowHeight / 2);
    if (y < edge && topLine_ > 0)
        SetTopLine(topLine_ - 1);
    else if (y >= clientHeight_ - edge && topLine_ + geometry_.Rows() < store_->LineCount())
        SetTopLine(topLine_ + 1);
    const TOffset offset = DropOffsetAt(x, y);
    TDropEffect effect = DropEffectAt(offset, offer);
    if (OnOLEDragOver) OnOLEDragOver(*this, TPoint{x, y}, effect);
    ShowDropOffset(effect == deNone ? -1 : offset);
    return effect;
}

void TCustomTessary::DragLeave() {
    ShowDropOffset(-1);
}

TDropEffect TCustomTessary::Drop(const TDropData& data, int x, int y, const TDragOffer& offer) {
    Batch batch(*this);
    ShowDropOffset(-1);
    TSourceTypes sources = 0;
    if (!data.files.empty() && (options_ & smoProcessDroppedFiles) && OnFilesDropped) {
        // Text along with the files only when OnDataDrop asks for it.
        const std::string bytes = TakeSource(data.text, data.html, sources, false);
        const TDroppedFiles drop{data.files, x, y};
        DropFiles(&drop);
        if (bytes.empty() || readOnly_) {
            if (host_) host_->TakeFocus();
        } else {
            // Measured after the handler, which may have loaded another text.
            InsertDropped(DropOffsetAt(x, y), bytes);
        }
        return deCopy;
    }
    const TOffset offset = DropOffsetAt(x, y);
    const TDropEffect effect = DropEffectAt(offset, offer);
    if (effect == deNone) return deNone;
    if (dragOrigin_.active) {
        // The bytes as stored, not their round trip through the toolkit.
        if (effect == deMove)
            MoveDragged(offset);
        else
            InsertDropped(offset, dragOrigin_.bytes);
        return effect;
    }
    const std::string bytes = TakeSource(data.text, data.html, sources, true);
    if (bytes.empty()) return deNone;
    InsertDropped(offset, bytes);
    return effect;
}

void TCustomTessary::MoveDragged(TOffset to) {
    const TOffset start = dragOrigin_.start, end = dragOrigin_.end;
    const std::string bytes = dragOrigin_.bytes;
    if (to > end) to -= end - start;
    // Undo gives the dragged selection back.
    SetSelection(start, end, true);
    UndoGroup group(*this, ugDragDrop);
    PaintLock lock(*this);
    ReplaceSel({});
    SetSelection(to, to, false);
    ReplaceSel(bytes);
}

void TCustomTessary::InsertDropped(TOffset at, std::string_view bytes) {
    UndoGroup group(*this, ugDragDrop);
    SetSelection(at, at, true);
    ReplaceSel(bytes);
}

intptr_t TCustomTessary::DropFiles(const TDroppedFiles* drop) {
    if (!drop || !(options_ & smoProcessDroppedFiles) || !OnFilesDropped) return 0;
    TPoint at{drop->x, drop->y};
    if (!geometry_.InClientArea(at.x, at.y)) at = {-1, -1};
    // A copy: the handler may load one of the files into this very control.
    const std::vector<std::string> names = drop->names;
    OnFilesDropped(*this, names, at);
    return 1;
}

} // namespace torvane::editor
