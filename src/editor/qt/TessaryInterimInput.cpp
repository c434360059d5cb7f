#include "editor/qt/TessaryInterimInput.h"

#include "editor/qt/TessaryWidget.h"
#include "highlight/ShortCut.h"

#include <algorithm>

namespace torvane::editor::qt {

void TessaryInterimInput::MoveTo(TOffset caret, bool extend) {
    const TViewState& v = widget_.View();
    widget_.SetSelection(extend ? v.anchor : caret, caret);
    widget_.ScrollCaretIntoView();
}

bool TessaryInterimInput::KeyDown(uint16_t shortCut) {
    TTextStore& store = widget_.Store();
    const TViewState& v = widget_.View();
    const bool extend = (shortCut & kscShift) != 0;
    const bool ctrl = (shortCut & kscCtrl) != 0;
    const TLineIndex line = store.LineOfOffset(v.caret);
    const TOffset lineStart = store.LineStart(line);
    const int32_t column = widget_.Painter().ColumnOfOffset(v.caret);
    auto offsetInLine = [&](TLineIndex target) {
        target = std::clamp<TLineIndex>(target, 0, store.LineCount() - 1);
        const std::string_view text = store.NodeText(target);
        return store.LineStart(target) +
               ColumnToChar(text, store.Node(target).HasTab(), column, widget_.Tabs());
    };
    switch (KeyOf(shortCut)) {
    case vk::Left:
        MoveTo(std::max(0, v.caret - 1), extend);
        return true;
    case vk::Right:
        MoveTo(std::min(store.TextLength(), v.caret + 1), extend);
        return true;
    case vk::Up:
        MoveTo(offsetInLine(line - 1), extend);
        return true;
    case vk::Down:
        MoveTo(offsetInLine(line + 1), extend);
        return true;
    case vk::Prior:
        MoveTo(offsetInLine(line - widget_.VisibleLines()), extend);
        return true;
    case vk::Next:
        MoveTo(offsetInLine(line + widget_.VisibleLines()), extend);
        return true;
    case vk::Home:
        MoveTo(ctrl ? 0 : lineStart, extend);
        return true;
    case vk::End: {
        const std::string_view text = store.NodeText(line);
        const TOffset visible = static_cast<TOffset>(text.size()) - (!text.empty() && text.back() == '\r');
        MoveTo(ctrl ? store.TextLength() : lineStart + visible, extend);
        return true;
    }
    case vk::Back:
    case vk::Delete: {
        TOffset from = std::min(v.anchor, v.caret), to = std::max(v.anchor, v.caret);
        if (from == to) {
            if (KeyOf(shortCut) == vk::Back)
                from = std::max(0, from - 1);
            else
                to = std::min(store.TextLength(), to + 1);
        }
        store.Delete(from, to - from);
        MoveTo(from, false);
        return true;
    }
    default:
        return false;
    }
}

void TessaryInterimInput::KeyPress(uint8_t byte) {
    if (byte < 32 && byte != '\t' && byte != '\r') return;
    const TViewState& v = widget_.View();
    const TOffset end = widget_.Store().Replace(std::min(v.anchor, v.caret), std::max(v.anchor, v.caret),
                                                std::string(1, static_cast<char>(byte)));
    MoveTo(end, false);
}

void TessaryInterimInput::MouseDown(const TMouseInput& mouse) {
    if (mouse.button != TMouseButton::Left) return;
    MoveTo(widget_.Painter().NearestOffset(widget_.View(), mouse.x, mouse.y),
           (mouse.modifiers & kscShift) != 0);
    dragging_ = true;
}

void TessaryInterimInput::MouseMove(const TMouseInput& mouse) {
    if (dragging_) MoveTo(widget_.Painter().NearestOffset(widget_.View(), mouse.x, mouse.y), true);
}

void TessaryInterimInput::Wheel(int lines) {
    widget_.SetTopLine(widget_.View().topLine + lines);
}

} // namespace torvane::editor::qt
