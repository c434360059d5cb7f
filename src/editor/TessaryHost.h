#pragma once
// TessaryHost: what the editor control model tells the window that shows
// it. The calls run one way, from the control to the window: the window
// moves its scroll bars to the values it is given and repaints, and keeps
// none of them. The Qt view implements it; tests implement it with a
// recorder. Every operation has a harmless default, so a host implements
// only what it shows.

#include "editor/LineNode.h"
#include "editor/TessaryClipboard.h"
#include "editor/TessaryDragDrop.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvane::editor {

class TessaryHost {
public:
    virtual ~TessaryHost() = default;

    // Rows to repaint: nodes first..last, last = -1 for "to the end".
    virtual void InvalidateLines(TLineIndex /*first*/, TLineIndex /*last*/) {}
    virtual void InvalidateAll() {}
    // The top line or first column changed, or the scroll ranges did (the
    // widest line in display columns).
    virtual void ScrollPositionChanged(TLineIndex /*topLine*/, int32_t /*leftColumn*/) {}
    virtual void ScrollRangesChanged(TLineIndex /*lineCount*/, int32_t /*scrollWidth*/) {}
    // The control shows another store: whatever draws or highlights the old
    // one must follow.
    virtual void StoreChanged() {}
    // The caret now stands at this node and display column.
    virtual void CaretMoved(TLineIndex /*line*/, int32_t /*column*/) {}
    virtual void Beep() {}
    virtual std::optional<std::string> ClipboardText() { return std::nullopt; }
    virtual void SetClipboardText(std::string_view) {}
    // Copy: everything the control offers at once; a host that knows only
    // plain text takes that.
    virtual void SetClipboard(const TClipboardData& data) {
        if (data.text) SetClipboardText(*data.text);
    }
    // The HTML on the clipboard, in the document's code page; nothing when
    // there is none.
    virtual std::optional<std::string> ClipboardHtml() { return std::nullopt; }
    // Runs a drag of the data until it is dropped or given up and returns
    // what the target did; drops on this very control arrive (at the
    // control's Drop) while it runs. A host without drag and drop drags
    // nothing.
    virtual TDropEffect DoDragDrop(const TClipboardData& /*data*/, TDropEffects /*allowed*/) {
        return deNone;
    }
    // The control asks for the keyboard focus (after it handed on dropped files).
    virtual void TakeFocus() {}
    // The control's change report, once per batch (TChangeFlag bits); raised
    // before OnChange, so the window re-highlights before anyone looks.
    virtual void Changed(uint32_t /*flags*/) {}
    // Re-measure the font and re-apply the settings object's editor settings
    // (a scheme or its styles changed), then repaint everything.
    virtual void SettingsChanged() {}
};

} // namespace torvane::editor
