#pragma once
// TessaryHost: what the editor control model needs from the window that
// shows it. The Qt widget implements it; tests implement it with a recorder.
// Every operation has a harmless default, so a host implements only what it
// shows.

#include "editor/LineNode.h"
#include "editor/TessaryClipboard.h"

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
    // The top line or first column changed, or the scroll ranges did.
    virtual void ScrollPositionChanged(TLineIndex /*topLine*/, int32_t /*leftColumn*/) {}
    virtual void ScrollRangesChanged(TLineIndex /*lineCount*/, int32_t /*widestLine*/) {}
    // Size of the text area in lines and columns.
    virtual int32_t VisibleLines() const { return 25; }
    virtual int32_t VisibleColumns() const { return 80; }
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
    // OnChange: the text or the selection changed.
    virtual void Changed() {}
    // Re-measure the font and re-apply the settings object's editor settings
    // (a scheme or its styles changed), then repaint everything.
    virtual void SettingsChanged() {}
};

} // namespace torvane::editor
