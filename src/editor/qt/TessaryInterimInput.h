#pragma once
// INTERIM: a minimal stand-in for the editor control's input handling, so
// that the widget can be tried by hand before TCustomTessary is attached.
// Arrows, Home/End (with Ctrl: text start/end), Page Up/Down, Backspace and
// Delete, typing, Return, mouse placement and drag selection, wheel
// scrolling. No undo, no key map, no clipboard: those are the control's.
// Remove once the control implements TSurfaceInput.

#include "editor/LineNode.h"
#include "editor/SurfaceInput.h"

namespace torvane::editor::qt {

class TessaryWidget;

class TessaryInterimInput final : public TSurfaceInput {
public:
    explicit TessaryInterimInput(TessaryWidget& widget) : widget_(widget) {}

    bool KeyDown(uint16_t shortCut) override;
    void KeyPress(uint8_t byte) override;
    void MouseDown(const TMouseInput& mouse) override;
    void MouseMove(const TMouseInput& mouse) override;
    void MouseUp(const TMouseInput&) override { dragging_ = false; }
    void Wheel(int lines) override;
    void FocusChanged(bool) override {}
    void Resized(int, int) override {}

private:
    void MoveTo(TOffset caret, bool extend);
    TessaryWidget& widget_;
    bool dragging_ = false;
};

} // namespace torvane::editor::qt
