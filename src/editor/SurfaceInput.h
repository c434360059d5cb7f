#pragma once
// TSurfaceInput: what the window that shows an editor control hands on to
// the control, already translated out of the windowing toolkit. The control
// (TCustomTessary) implements it; the Qt widget forwards its events here and
// does nothing else with them.
//
// Keys are shortcuts as the key map stores them (highlight/ShortCut.h):
// Windows virtual-key numbers with the Shift/Ctrl/Alt bits. Typed text
// arrives separately as document bytes (Windows-1250); a typed character
// that has no byte in the code page never arrives: the widget beeps instead.

#include <cstdint>

namespace torvane::editor {

enum class TMouseButton : uint8_t { Left, Right, Middle };

struct TMouseInput {
    int x = 0, y = 0; // client pixels
    TMouseButton button = TMouseButton::Left;
    uint16_t modifiers = 0; // the shortcut modifier bits
    int clicks = 1;         // 2 for the press of a double click
};

class TSurfaceInput {
public:
    virtual ~TSurfaceInput() = default;
    // A key went down; returns whether it ran a command (then no character
    // is typed for it).
    virtual bool KeyDown(uint16_t shortCut) = 0;
    // A character was typed.
    virtual void KeyPress(uint8_t byte) = 0;
    virtual void MouseDown(const TMouseInput& mouse) = 0;
    virtual void MouseMove(const TMouseInput& mouse) = 0;
    virtual void MouseUp(const TMouseInput& mouse) = 0;
    // Wheel turned by lines (positive = towards the end of the text).
    virtual void Wheel(int lines) = 0;
    virtual void FocusChanged(bool focused) = 0;
    virtual void Resized(int width, int height) = 0;
    // The user moved a scroll bar: the first visible node and column.
    virtual void Scrolled(int32_t /*topLine*/, int32_t /*leftColumn*/) {}
};

} // namespace torvane::editor
