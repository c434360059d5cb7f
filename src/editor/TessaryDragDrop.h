#pragma once
// Drag and drop of the editor control, told without a window system.
//
// The control is a drop target for text (and HTML, trimmed as a paste trims
// it) and for file lists, and a drag source for its selection. The window
// that shows it turns its toolkit's drag events into the calls of
// TCustomTessary (DragOver, DragLeave, Drop) and runs the drag itself when
// the control asks (TessaryHost::DoDragDrop); everything that decides what a
// drop does lives in the control:
//
//   drop offset   the character offset under the pointer while a drag is
//                 over the control (-1: none); the caret is painted there so
//                 the user sees where the text will go, the selection stays
//   drag origin   the range and bytes of the selection a drag of this
//                 control carries, while that drag runs; a drop that finds
//                 it is a drop into the same control
//
// What a drop does, in this order:
//   1. a file list, with smoProcessDroppedFiles and an OnFilesDropped
//      handler, goes to the handler; the drop ends there (the control takes
//      the focus) unless OnDataDrop chose text to be inserted as well;
//   2. a drop of the control's own drag onto its dragged selection does
//      nothing (for a move its two ends count as inside: nothing would move);
//   3. a read-only control takes nothing;
//   4. a move within the control deletes the selection and inserts its bytes
//      at the drop offset, corrected for the deletion when it lies after the
//      selection: one undo step (group 13), painted once;
//   5. a copy (Ctrl, or a drag from elsewhere) inserts at the drop offset in
//      one undo step (group 13).
//
// Only a drag within one control moves text. A drop from elsewhere is taken
// as a copy whenever the source allows it, so another program never deletes
// its text because of this control; and a dropped file list is never taken
// as a move, which would let a file manager remove the files.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvane::editor {

// What a drop did or would do; a set of these bits says what a source allows.
enum TDropEffect : uint8_t { deNone = 0, deCopy = 1, deMove = 2 };
using TDropEffects = uint8_t;

// What a drag over the control offers, as the window sees it.
struct TDragOffer {
    bool text = false;  // text or HTML
    bool files = false; // a file list
    TDropEffects allowed = deCopy | deMove;
    bool copyKey = false; // the user asks for a copy (Ctrl)
};

// The data of a drop, in the document's code page.
struct TDropData {
    std::optional<std::string> text;
    std::optional<std::string> html;
    std::vector<std::string> files;
};

} // namespace torvane::editor
