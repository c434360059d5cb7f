#pragma once
// TTessaryCommands: the editing commands of an editor control, and the
// route from keys, typed characters and the mouse to them. It acts on a
// TCustomTessary, which owns every piece of state that outlives one event
// (text, selection, caret beyond the end, remembered column, scroll
// position, modes, metrics). Kept here is only what input needs between
// events:
//
//   click count       the mouse click cycle 1 -> 2 -> 3 -> 4 -> 1; a press
//                     later than the double-click time after the one before
//                     starts again at 1
//   drag              a left button press is being dragged
//   possible drag     a single press inside the selection (smoOLEDragSource):
//                     moving past the drag distance drags the selection,
//                     a release without that places the caret
//   key map           the map KeyDown consults (and its pending chord)
//
// Rows and lines. Every node of the store is one row on screen, so caret
// moves, the caret position and the mouse work on nodes; block indent and
// un-indent work on whole lines (a continuation node is not a line start).
//
// Columns. Every column is one character width wide on screen (see
// TessaryGeometry.h), so "the same horizontal pixel position" of a vertical
// move is the same display column.
//
// Undo. Every change is recorded in the store's log under one group per
// operation: 14 a typed character (RETURN, tab-to-column and the fill of a
// caret beyond the end included), 15 a deleted character, 19 block indent
// and 20 block un-indent (one direct line record per line, so un-indent
// restores exactly the removed characters, TABs included), 21 and 22 the
// word deletions, 24 the deletion of a line.
//
// Fill rule, from display column a to b: with smoUseTAB and smoSmartFill,
// TABs as long as the next tab stop is not beyond b, then spaces; otherwise
// spaces only.
//
// Change notification. Every entry point (keys, typed characters, the mouse,
// ExecuteCommand ...) runs as one batch of the control, so the control's
// OnChange is raised once per key, click or command.

#include "editor/Bookmarks.h"
#include "editor/Painter.h"
#include "editor/SurfaceInput.h"
#include "editor/Tessary.h"
#include "highlight/ActionCode.h"
#include "highlight/KeyMap.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace torvane {
class TTE_Settings;
}

namespace torvane::editor {

class TTessaryTemplates;

// The measurements of a painter as the caret and the mouse need them.
TCaretMetrics CaretMetricsOf(const TPainter& painter) noexcept;

class TTessaryCommands final : public TSurfaceInput, private TTessaryMessageHandler {
public:
    static constexpr int32_t kMaxVirtualColumn = TCustomTessary::kMaxVirtualColumn;
    static constexpr int kDefaultDoubleClickMs = 500;

    explicit TTessaryCommands(TCustomTessary& control);
    ~TTessaryCommands() override;
    TTessaryCommands(const TTessaryCommands&) = delete;
    TTessaryCommands& operator=(const TTessaryCommands&) = delete;

    TCustomTessary& Control() noexcept { return control_; }

    // ---- commands --------------------------------------------------------------
    // Runs command code (ActionCode 0..47); extend keeps the anchor of caret
    // moves. Unknown codes do nothing.
    void ExecuteCommand(int32_t code, bool extend);
    // Block indent and un-indent of the selected lines by count characters
    // (0: IndentStep); allowTabs indents with TABs when smoUseTAB is set.
    void BlockIndent(int count, bool allowTabs);
    void BlockUnindent(int count);

    // ---- state -----------------------------------------------------------------
    bool WantReturns() const noexcept { return wantReturns_; }
    void SetWantReturns(bool want) noexcept { wantReturns_ = want; }
    int IndentStep() const noexcept { return indentStep_; }
    // 1..19; other values are refused (returns false).
    bool SetIndentStep(int step) noexcept;

    // The caret as 1-based (column, line), column in display columns.
    struct TCaretPos {
        int32_t column, line;
    };
    TCaretPos CaretPos() const noexcept;
    // The character under the caret (0 at the text end or beyond the end).
    uint8_t CaretChar() const noexcept;
    int ClickCount() const noexcept { return clickCount_; }

    // ---- set-up ----------------------------------------------------------------
    // The key map KeyDown consults when no scheme settings are set; by default
    // a copy of the program's default map. The given map must outlive this
    // object (null: the own copy again).
    void SetKeyMap(TKeyboardActionContoller* keyMap) noexcept;
    // The scheme's settings: their key map, code templates and auto-correct
    // table take the keys (looked up at every key: loading a scheme replaces
    // them). They must outlive this object or be replaced first; null goes
    // back to the key map above and no templates.
    void SetSettings(TTE_Settings* settings) noexcept;
    TTE_Settings* Settings() const noexcept { return settings_; }
    TKeyboardActionContoller& KeyMap() noexcept;
    // Code templates, auto-correct and the template pick list.
    TTessaryTemplates& Templates() noexcept { return *templates_; }
    void SetDoubleClickTime(int ms) noexcept { doubleClickMs_ = ms; }
    // How far (Manhattan, pixels) the pointer moves before a press inside
    // the selection starts dragging it.
    void SetDragDistance(int pixels) noexcept { dragDistance_ = std::max(1, pixels); }
    // Milliseconds of a steady clock; tests set their own.
    std::function<int64_t()> Clock;

    // ---- events ----------------------------------------------------------------
    std::function<void(int32_t& code)> OnCommandRecognised;
    std::function<void(int x, int y, TOffset offset)> OnTripleClick;
    std::function<void(int32_t line)> OnGutterClick; // 1-based
    std::function<void()> OnPrintSelection;

    // ---- TSurfaceInput ---------------------------------------------------------
    bool KeyDown(uint16_t shortCut) override;
    void KeyPress(uint8_t byte) override;
    void MouseDown(const TMouseInput& mouse) override;
    void MouseMove(const TMouseInput& mouse) override;
    void MouseUp(const TMouseInput& mouse) override;
    void Wheel(int lines) override;
    void FocusChanged(bool focused) override;
    void Resized(int width, int height) override;
    void Scrolled(int32_t topLine, int32_t leftColumn) override;

    // A character that starts or belongs to a word.
    bool IsWordCharacter(uint8_t c) const { return control_.StartsWord(c) || control_.InWord(c); }

    // Word moves (exposed for search and the token under the caret).
    TOffset WordBefore(TOffset from) const;
    TOffset WordAfter(TOffset from) const;

private:
    bool HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;
    // The batch of the control an entry point runs in.
    TCustomTessary::Batch InputBatch();

    // Caret helpers (TessaryCommands.cpp).
    TTextStore& Store() const { return control_.Store(); }
    const TTessaryGeometry& Geometry() const noexcept { return control_.Geometry(); }
    TLineIndex CaretLine() const;
    int32_t VisibleRows() const { return Geometry().Rows(); }
    void MoveCaret(TOffset caret, bool extend);
    void MoveBeyond(TLineIndex line, int32_t column, bool extend);
    void VerticalMove(int32_t lines, bool extend, bool scrollPage);
    void ScrollLine(int32_t delta);

    // Editing (TessaryCommandsEdit.cpp).
    std::string Fill(int32_t from, int32_t to) const;
    void TypeKey(uint8_t byte);
    void TypeChar(uint8_t c);
    void TabToColumn();
    int32_t TabTarget(int32_t column) const;
    int32_t AutoIndentColumn() const;
    void DeleteChar(bool before);
    void DeleteWord(bool before);
    void DeleteLine();
    void ReplaceInGroup(int32_t kind, std::string_view text);
    // Lines [first, last] that a block indent changes; false when none.
    bool BlockLines(TLineIndex& first, TLineIndex& last) const;

    // Mouse (TessaryCommandsMouse.cpp).
    void SelectWordAt(TOffset offset);
    void SelectLine(TLineIndex line);
    void PlaceCaret(TLineIndex line, int x, bool extend);
    // The character cell under x on line lies in a non-empty selection.
    bool InsideSelection(TLineIndex line, int x) const;

    TCustomTessary& control_;
    TKeyboardActionContoller ownKeyMap_;
    TKeyboardActionContoller* keyMap_ = &ownKeyMap_;
    TTE_Settings* settings_ = nullptr;
    std::unique_ptr<TTessaryTemplates> templates_;
    bool wantReturns_ = true;
    int indentStep_ = 1;

    int clickCount_ = 0;
    int64_t lastClickTime_ = 0;
    TLineIndex lastClickLine_ = -1;
    bool dragging_ = false;
    bool draggingWrapColumn_ = false;
    // The wrap column under x (within two pixels of its line), else -1.
    int32_t WrapColumnHit(int x) const;
    int32_t ColumnNearest(int x) const;
    int doubleClickMs_ = kDefaultDoubleClickMs;
    bool dragPending_ = false;
    TMouseInput pressed_;
    int dragDistance_ = 4;
};

} // namespace torvane::editor
