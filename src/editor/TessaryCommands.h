#pragma once
// TTessaryCommands: the caret, the selection and the editing commands of an
// editor control, and the route from keys, typed characters and the mouse to
// them. It works on a TCustomTessary (which keeps the text, the selection,
// the scroll position and the undo log) and adds what the caret needs beyond
// a pair of offsets:
//
//   beyond end        the caret stands right of the end of its line (only in
//                     caret-beyond-end mode: smoCaretAfterEOL with a
//                     fixed-pitch font); its display column is then the
//                     virtual column, at most kMaxVirtualColumn
//   remembered column the display column kept over a run of vertical moves
//                     (smoColumnTrack), so that passing a short line does
//                     not lose the column
//   insert mode       insert (default) or overwrite
//   click count       the mouse click cycle 1 -> 2 -> 3 -> 4 -> 1; a press
//                     later than the double-click time after the one before
//                     starts again at 1
//
// Rows and lines. Every node of the store is one row on screen, so caret
// moves, the caret position and the mouse work on nodes; block indent and
// un-indent work on whole lines (a continuation node is not a line start).
//
// Columns. Every column is one character width wide on screen (see
// Painter.h), so "the same horizontal pixel position" of a vertical move is
// the same display column.
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
// ExecuteCommand ...) runs as one batch; when the outermost batch ends and
// painting is not locked, OnChange is raised once with the flags of what
// differs from the state at the previous OnChange: text, caret, selection,
// insert mode, options, font. Changes made past this object (messages to
// the control) are reported with the next batch, or by NotifyChange().

#include "editor/Bookmarks.h"
#include "editor/Painter.h"
#include "editor/SurfaceInput.h"
#include "editor/Tessary.h"
#include "highlight/ActionCode.h"
#include "highlight/KeyMap.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace torvane {
class TTE_Settings;
}

namespace torvane::editor {

class TTessaryTemplates;

// Default word characters.
bool DefaultCharStartsWord(uint8_t c) noexcept; // A..Z, a..z, "_"
bool DefaultCharIsInWord(uint8_t c) noexcept;   // apostrophe, "-", 0..9, A..Z, "_", a..z

// Change flags passed to OnChange.
enum TChangeFlag : uint32_t {
    cfText = 0x1,
    cfCaret = 0x2,
    cfSelection = 0x4,
    cfInsertMode = 0x8,
    cfOptions = 0x10,
    cfFont = 0x20,
};

// What the caret and the mouse need of the painter's measurements.
struct TCaretMetrics {
    int gutterRight = 0; // right edge of the gutter in pixels (0: no gutter)
    int textLeft = 2;    // where column LeftColumn() starts: gutter + margin
    int rowHeight = 18;
    int charWidth = 7;
    bool fixedPitch = true; // "i" as wide as "W"
    friend bool operator==(const TCaretMetrics&, const TCaretMetrics&) = default;
};

// The measurements of a painter as the caret and the mouse need them.
TCaretMetrics CaretMetricsOf(const TPainter& painter) noexcept;

class TTessaryCommands final : public TSurfaceInput, private TTextStoreObserver {
public:
    static constexpr int32_t kMaxVirtualColumn = 2047;
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
    bool InsertMode() const noexcept { return insertMode_; }
    void SetInsertMode(bool insert);
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly) noexcept { readOnly_ = readOnly; }
    bool WantReturns() const noexcept { return wantReturns_; }
    void SetWantReturns(bool want) noexcept { wantReturns_ = want; }
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool hide) noexcept { hideSelection_ = hide; }
    int IndentStep() const noexcept { return indentStep_; }
    // 1..19; other values are refused (returns false).
    bool SetIndentStep(int step) noexcept;

    bool CaretBeyondEndMode() const noexcept;
    bool CaretBeyondEnd() const noexcept;
    int32_t VirtualColumn() const noexcept { return CaretBeyondEnd() ? virtualColumn_ : CaretColumn(); }
    // The caret's display column (the virtual column beyond the end).
    int32_t CaretColumn() const noexcept;
    // The caret as 1-based (column, line), column in display columns.
    struct TCaretPos {
        int32_t column, line;
    };
    TCaretPos CaretPos() const noexcept;
    // The character under the caret (0 at the text end or beyond the end).
    uint8_t CaretChar() const noexcept;
    int ClickCount() const noexcept { return clickCount_; }

    // Numbered bookmarks of the shown store (commands 20..39).
    TBookmarks& Bookmarks();

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
    // Measurements of the painter; raises cfFont when they change.
    void SetMetrics(const TCaretMetrics& metrics);
    const TCaretMetrics& Metrics() const noexcept { return metrics_; }
    int ClientWidth() const noexcept { return clientWidth_; }
    int ClientHeight() const noexcept { return clientHeight_; }

    // ---- geometry (client coordinates) ------------------------------------------
    // The top left of the offset's cell (EM_POSFROMCHAR); false for an offset
    // outside the text.
    bool PointOfOffset(TOffset offset, int* x, int* y) const;
    // The offset whose cell boundary is nearest to the point (EM_CHARFROMPOS);
    // -1 outside the text area: left of the text (gutter and margin), beyond
    // the client area, or below the last line.
    TOffset OffsetAtPoint(int x, int y) const;
    bool InClientArea(int x, int y) const noexcept {
        return x >= 0 && y >= 0 && x < clientWidth_ && y < clientHeight_;
    }
    void SetDoubleClickTime(int ms) noexcept { doubleClickMs_ = ms; }
    // Milliseconds of a steady clock; tests set their own.
    std::function<int64_t()> Clock;

    // ---- events ----------------------------------------------------------------
    std::function<void(uint32_t flags)> OnChange;
    std::function<void(const TTextChange& change)> OnTextChange;
    std::function<void(int32_t& code)> OnCommandRecognised;
    std::function<void(int x, int y, TOffset offset)> OnTripleClick;
    std::function<void(int32_t line)> OnGutterClick; // 1-based
    std::function<void()> OnPrintSelection;
    // Word character tests; unset: the defaults above.
    std::function<bool(uint8_t)> fn_CharStartsWord;
    std::function<bool(uint8_t)> fn_CharIsInWord;

    // Raises OnChange now if anything changed since the last one.
    void NotifyChange();
    // Fills the painter's view of the control: selection, scroll position,
    // caret beyond the end, insert mode, hidden selection.
    void FillViewState(TViewState& view) const noexcept;

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
    bool IsWordCharacter(uint8_t c) const { return StartsWord(c) || InWord(c); }

    // Word moves (exposed for search and the token under the caret).
    TOffset WordBefore(TOffset from) const;
    TOffset WordAfter(TOffset from) const;

private:
    // One batch of changes: OnChange runs when the outermost batch ends,
    // unless it ends by an exception (the flags then wait for the next one).
    class Batch {
    public:
        explicit Batch(TTessaryCommands& owner) : owner_(owner), exceptions_(std::uncaught_exceptions()) {
            owner_.BeginBatch();
        }
        ~Batch() noexcept(false) {
            if (std::uncaught_exceptions() > exceptions_)
                --owner_.batchDepth_;
            else
                owner_.EndBatch();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        TTessaryCommands& owner_;
        int exceptions_;
    };
    struct Snapshot {
        TOffset anchor = 0, caret = 0;
        bool beyond = false;
        int32_t virtualColumn = 0;
        bool insertMode = true;
        uint32_t options = 0;
    };

    void TextChanged(const TTextChange& change) override;
    void FollowStore();
    void BeginBatch();
    void EndBatch();
    Snapshot Current() const;
    bool StartsWord(uint8_t c) const;
    bool InWord(uint8_t c) const;

    // Caret helpers (TessaryCommands.cpp).
    TTextStore& Store() const { return control_.Store(); }
    TLineIndex CaretLine() const;
    int32_t VisibleRows() const;
    int32_t ColumnOf(TOffset offset) const;
    // Offset in node line nearest to display column (rounding down); sets
    // beyond when the column lies right of the line end and caret-beyond-end
    // mode is on.
    TOffset OffsetOfColumn(TLineIndex line, int32_t column, bool* beyond) const;
    // Offset of the end of a node's visible text (before its CR).
    TOffset VisibleEnd(TLineIndex line) const;
    int32_t EndColumn(TLineIndex line) const;
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
    TLineIndex RowAt(int y) const;
    int32_t ColumnAt(int x) const;
    TOffset NearestOffset(TLineIndex line, int x) const;
    void SelectWordAt(TOffset offset);
    void SelectLine(TLineIndex line);

    TCustomTessary& control_;
    std::shared_ptr<TTextStore> observed_; // the store we observe; bookmarks_ work on it
    std::unique_ptr<TBookmarks> bookmarks_;
    TKeyboardActionContoller ownKeyMap_;
    TKeyboardActionContoller* keyMap_ = &ownKeyMap_;
    TTE_Settings* settings_ = nullptr;
    std::unique_ptr<TTessaryTemplates> templates_;
    TCaretMetrics metrics_;
    int clientWidth_ = 0, clientHeight_ = 0;

    bool insertMode_ = true;
    bool readOnly_ = false;
    bool wantReturns_ = true;
    bool hideSelection_ = true;
    int indentStep_ = 1;

    // Caret beyond the end of its line; valid while the caret stays at
    // beyondCaret_ and the text is not changed.
    bool beyond_ = false;
    TOffset beyondCaret_ = 0;
    int32_t virtualColumn_ = 0;
    // Column tracking over a run of vertical moves; valid while the caret
    // stays at trackCaret_.
    bool tracking_ = false;
    TOffset trackCaret_ = 0;
    int32_t rememberedColumn_ = 0;

    int clickCount_ = 0;
    int64_t lastClickTime_ = 0;
    TLineIndex lastClickLine_ = -1;
    bool dragging_ = false;
    int doubleClickMs_ = kDefaultDoubleClickMs;

    int batchDepth_ = 0;
    uint32_t pendingFlags_ = 0;
    Snapshot notified_;
};

} // namespace torvane::editor
