#pragma once
// TCustomTessary: the editor control without a window system.
//
// It is the one owner of the control's state. Nothing else keeps a copy:
//
//   text           the store (its own, or one shared with other controls),
//                  with the undo log, bookmarks and line marks in it
//   selection      anchor, caret, the caret beyond the end of its line (its
//                  virtual column) and the column remembered over a run of
//                  vertical moves
//   scroll         top line, first visible column; the horizontal extent
//                  in display columns (TABs expanded)
//   modes          insert/overwrite, read-only, hidden selection, the option
//                  word, tab stops, word characters
//   geometry       the font metrics in use and the client size (so rows and
//                  columns), read through Geometry()
//
// The window that shows it (TessaryHost) learns of changes through the host
// hooks, and only in one direction: InvalidateLines/InvalidateAll to repaint,
// ScrollPositionChanged/ScrollRangesChanged to move its scroll bars,
// CaretMoved, Changed. A view paints from ViewState() and turns its own
// events (keys, mouse, scroll-bar moves) into calls on the control or its
// commands object; it never writes state back.
//
// Its programmatic interface is Perform(msg, wParam, lParam) with the message
// numbers of TessaryMessages.h; the typed operations below are the same
// operations without the casts. Messages the control does not know itself
// go to the handlers registered from above (commands: block indent; search:
// find and replace), so the control never reaches up into them.
//
// Changes go through ReplaceSelection, which writes one text transaction
// into the undo log; the messages that change text bracket it in a group
// (UndoGroup) so that the application's undo sees the change as one step.
//
// Change notification. Every operation that changes the control runs as one
// batch (Batch): each message, each typed operation below, and the commands,
// search, clipboard and drag and drop built on them. When the outermost
// batch ends and painting is not locked, the host's Changed and then
// OnChange are raised once, with the flags of what differs from the state at
// the previous report: text, caret, selection, insert mode, options, font.
// A batch left by an exception reports nothing; what it changed is reported
// by the next batch, as is a change made to the store past the control (by
// another control sharing it).

#include "editor/Columns.h"
#include "editor/TessaryDragDrop.h"
#include "editor/TessaryExport.h"
#include "editor/TessaryGeometry.h"
#include "editor/TessaryHost.h"
#include "editor/TessaryMessages.h"
#include "editor/TextStore.h"
#include "editor/UndoStack.h"
#include "editor/WordWrap.h"
#include "highlight/EditorOptions.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace torvane::editor {

struct TViewState;

// Takes the messages of a layer above the control (commands, search).
class TTessaryMessageHandler {
public:
    virtual ~TTessaryMessageHandler() = default;
    // Sets result and returns true when the message was this handler's.
    virtual bool HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, intptr_t& result) = 0;
};

// Change flags passed to OnChange.
enum TChangeFlag : uint32_t {
    cfText = 0x1,
    cfCaret = 0x2,
    cfSelection = 0x4,
    cfInsertMode = 0x8,
    cfOptions = 0x10,
    cfFont = 0x20,
};

// The next step of the undo log in either direction.
struct TUndoStep {
    int32_t kind = 0;   // group kind (TUndoGroupKind); 0: nothing to do
    int32_t target = 0; // applied count after the step, for UndoTo/RedoTo
};

// What the window hands over with WM_DROPFILES: the dropped files' names
// and the drop point in client coordinates.
struct TDroppedFiles {
    std::vector<std::string> names;
    int x = 0, y = 0;
};

class TCustomTessary : public TUndoTarget, private TTextStoreObserver {
public:
    static constexpr const char* kVersion = "3.00.36";

    explicit TCustomTessary(TessaryHost* host = nullptr);
    ~TCustomTessary() override;
    TCustomTessary(const TCustomTessary&) = delete;
    TCustomTessary& operator=(const TCustomTessary&) = delete;

    intptr_t Perform(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0);

    void SetHost(TessaryHost* host) noexcept { host_ = host; }
    TessaryHost* Host() const noexcept { return host_; }
    TTextStore& Store() const noexcept { return *store_; }
    const std::shared_ptr<TTextStore>& SharedStore() const noexcept { return store_; }
    // Shows another store (shared editing); null gives the control a fresh one.
    void SetStore(std::shared_ptr<TTextStore> store);

    // ---- selection and scrolling --------------------------------------------
    TOffset Anchor() const noexcept { return anchor_; }
    TOffset Caret() const noexcept { return caret_; }
    TOffset SelStart() const noexcept { return std::min(anchor_, caret_); }
    TOffset SelEnd() const noexcept { return std::max(anchor_, caret_); }
    // Clamps both to the text; repaints the lines between the old and the
    // new selection unless repaint is false, and scrolls the caret into view.
    void SetSelection(TOffset anchor, TOffset caret, bool repaint);
    // The selection as plain text is written: in the store's line style, so
    // with lsCRLF every line break inside it is CR LF and counts 2.
    TOffset SelLength() const;
    std::string SelText() const;
    // Selects from SelStart over length stored characters.
    void SetSelLength(TOffset length);
    // Replaces the selection, as one undo step.
    void SetSelText(std::string_view text);
    // The selection as stored (a line break is one CR).
    std::string SelStoredText() const { return store_->GetRange(SelStart(), SelEnd()); }
    TLineIndex TopLine() const noexcept { return topLine_; }
    int32_t LeftColumn() const noexcept { return leftColumn_; }
    void SetTopLine(TLineIndex line);
    void SetLeftColumn(int32_t column);
    void ScrollCaretIntoView();
    // How far the horizontal scroll bar reaches: the widest line seen, in
    // display columns, and at least the caret's column.
    int32_t ScrollWidth() const noexcept { return scrollWidth_; }
    // WM_HSCROLL / WM_VSCROLL: a SB_* code; thumb is the position for the
    // thumb codes.
    void Scroll(bool vertical, uint32_t code, int32_t thumb);

    // ---- changing the text --------------------------------------------------
    // Replaces the selection with text (any line ends), recorded as one text
    // transaction; the caret ends after the new text.
    void ReplaceSel(std::string_view text);
    // Public so that the application can bracket its own commands; prefer
    // the UndoGroup guard.
    void BeginUndoGroup(int32_t kind);
    void EndUndoGroup(int32_t kind);
    // One group of the undo log for its lifetime; closing it never throws
    // (a failed close has already cleared the log).
    class UndoGroup {
    public:
        UndoGroup(TCustomTessary& control, int32_t kind) : control_(control), kind_(kind) {
            control_.BeginUndoGroup(kind_);
        }
        ~UndoGroup();
        UndoGroup(const UndoGroup&) = delete;
        UndoGroup& operator=(const UndoGroup&) = delete;

    private:
        TCustomTessary& control_;
        int32_t kind_;
    };
    // One batch of changes for its lifetime (see the head of this file).
    // Its end may raise OnChange, whose exceptions pass on to the caller.
    class Batch {
    public:
        // Nested batches only count: they run at every step of an edit.
        explicit Batch(TCustomTessary& control) noexcept
            : control_(control), exceptions_(control.batchDepth_++ == 0 ? std::uncaught_exceptions() : 0) {}
        ~Batch() noexcept(false) {
            // The outermost one reports, unless an exception ends it: then
            // the flags wait for the next batch.
            if (--control_.batchDepth_ == 0 && std::uncaught_exceptions() <= exceptions_)
                control_.NotifyChange();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        TCustomTessary& control_;
        int exceptions_;
    };
    bool InBatch() const noexcept { return batchDepth_ > 0; }

    // Locks painting for its lifetime, as one batch: the last unlock
    // repaints everything and scrolls to the caret, and the batch's end
    // reports the change.
    class PaintLock {
    public:
        explicit PaintLock(TCustomTessary& control) : control_(control), batch_(control) {
            control_.LockPaint();
        }
        ~PaintLock() { control_.UnlockPaint(); }
        PaintLock(const PaintLock&) = delete;
        PaintLock& operator=(const PaintLock&) = delete;

    private:
        TCustomTessary& control_;
        Batch batch_; // ends after the unlock
    };
    void LockPaint() noexcept { ++paintLock_; }
    void UnlockPaint();

    // Clipboard and undo as the user's commands do them. Cut and Paste of a
    // read-only control do nothing; Paste without text on the clipboard
    // changes nothing (no undo step, the redo steps stay). Each returns
    // whether it did anything.
    bool Cut();
    bool Copy();
    bool Paste();
    bool CanPaste();
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    // The next undo (redo) step; with merge, steps of typing and deleting
    // take the adjoining steps of the same kind with them.
    TUndoStep NextUndoStep(bool merge) const;
    TUndoStep NextRedoStep(bool merge) const;
    // Undoes (redoes) one step as NextUndoStep(true) finds it; returns its
    // group kind, 0 when there was nothing to do or it failed.
    int32_t UndoStepMerged();
    int32_t RedoStepMerged();
    bool Modified() const;
    // False empties the undo log; true changes nothing.
    void SetModified(bool modified);

    // ---- drag and drop (TessaryDragDrop.cpp; the rules are told there) --------
    // Drags the selection through the host (smoOLEDragSource, a non-empty
    // selection) and returns what the target did. A move into this control
    // has been carried out by the time it returns; elsewhere the text is
    // only copied.
    TDropEffect DragSelection();
    // A drag of this control's selection is under way.
    bool DragSourceActive() const noexcept { return dragOrigin_.active; }
    // A drag is over the control at a client point: shows the caret at the
    // drop offset and returns the effect a drop there would have.
    TDropEffect DragOver(int x, int y, const TDragOffer& offer);
    // The drag left the control or was given up: the caret is shown where
    // it was.
    void DragLeave();
    // Drops data at a client point; returns the effect carried out (deNone:
    // nothing was dropped).
    TDropEffect Drop(const TDropData& data, int x, int y, const TDragOffer& offer);
    TOffset DropOffset() const noexcept { return dropOffset_; }

    // ---- files ---------------------------------------------------------------
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream* stream);
    void SaveToFile(const std::string& fileName);
    TSaveFormat SaveFormat() const noexcept { return saveFormat_; }
    void SetSaveFormat(TSaveFormat format) noexcept { saveFormat_ = format; }
    const std::string& PrintTitle() const noexcept { return printTitle_; }
    // Writes [start, end) as RTF (sfRTF) or HTML (sfHTML) in the export look.
    void WriteRich(TStream& out, TSaveFormat format, TOffset start, TOffset end) const;
    // Writes the whole text as RTF or HTML through a temporary file, as
    // saving does; the undo log and the modified state stay as they are.
    // Raises EFileSaveError.
    void ExportToFile(const std::string& fileName, TSaveFormat format) const;
    // Styles, font and date the RTF and HTML writers use; the styles must
    // outlive the control or be replaced first.
    const TExportLook& ExportLook() const noexcept { return exportLook_; }
    void SetExportLook(TExportLook look) { exportLook_ = std::move(look); }

    // ---- modes -----------------------------------------------------------------
    bool InsertMode() const noexcept { return insertMode_; }
    void SetInsertMode(bool insert);
    // A read-only control refuses every change made through its commands and
    // messages; copying still works.
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly) noexcept { readOnly_ = readOnly; }
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool hide);
    bool Focused() const noexcept { return focused_; }
    void SetFocused(bool focused);

    // Caret beyond the end of its line (smoCaretAfterEOL with a fixed-pitch
    // font): valid while the caret stays where it was put and the text does
    // not change.
    bool CaretBeyondEndMode() const noexcept;
    bool CaretBeyondEnd() const noexcept;
    // The caret's display column (the virtual column beyond the end).
    int32_t CaretColumn() const;
    // Puts the caret at the visible end of line and beyond it at column.
    void SetCaretBeyond(TLineIndex line, int32_t column, bool extend);
    static constexpr int32_t kMaxVirtualColumn = 2047;
    // The column kept over a run of vertical moves (smoColumnTrack), valid
    // while the caret stays where the last vertical move put it.
    bool ColumnRemembered() const noexcept { return tracking_ && caret_ == trackCaret_; }
    int32_t RememberedColumn() const noexcept { return rememberedColumn_; }
    void RememberColumn(int32_t column) noexcept;
    void ForgetColumn() noexcept { tracking_ = false; }

    // ---- geometry ------------------------------------------------------------
    const TCaretMetrics& Metrics() const noexcept { return metrics_; }
    // Returns true when they changed.
    bool SetMetrics(const TCaretMetrics& metrics);
    int ClientWidth() const noexcept { return clientWidth_; }
    int ClientHeight() const noexcept { return clientHeight_; }
    void SetClientSize(int width, int height);
    const TTessaryGeometry& Geometry() const noexcept { return geometry_; }
    // What a painter needs to show the control now.
    TViewState ViewState() const;

    // ---- settings ------------------------------------------------------------
    uint32_t Options() const noexcept { return options_; }
    // The option word itself, for a painter that reads it at every row.
    const uint32_t& OptionsWord() const noexcept { return options_; }
    void SetOptions(uint32_t options);
    const TTabStops& Tabs() const noexcept { return tabs_; }
    std::string TabColumns() const { return tabs_.Columns(); }
    void SetTabColumns(std::string_view text);
    int32_t TabDefault() const noexcept { return tabs_.Default(); }
    void SetTabDefault(int32_t width);
    bool WantTab() const noexcept { return wantTab_; }
    void SetWantTab(bool want) noexcept { wantTab_ = want; }
    bool PaintLocked() const noexcept { return paintLock_ > 0; }

    // ---- word wrap (smoWordWrap) ------------------------------------------------
    // Wrapped lines are cut into segment nodes in the store (WordWrap.h).
    // The width is WrapAtColumn columns, or the text area's whole columns
    // when it is 0; lines are cut anew after every edit (the touched lines)
    // and all of them when the width, the options, the font or the override
    // characters change.
    int32_t WrapAtColumn() const noexcept { return wrapAtColumn_; }
    void SetWrapAtColumn(int32_t column); // 0..65535
    const std::string& WrapOverride() const noexcept { return wrapOverride_; }
    void SetWrapOverride(std::string_view chars);
    // Replaces the built-in cut rule when set (call RewrapAll() after setting).
    TWordBreakProc OnWordBreakProc;
    // While the wrap column line is dragged with the mouse: the column it
    // stands at (-1 otherwise); the line is drawn there, the text is cut
    // anew when it is dropped.
    int32_t WrapDragColumn() const noexcept { return wrapDragColumn_; }
    void SetWrapDragColumn(int32_t column);
    // The width that wrapping uses now, in columns.
    int32_t WrapColumns() const noexcept;
    void RewrapAll();

    // The node from which the next re-highlighting starts (TEM_REHIGHLIGHTFROM),
    // -1 when none was set; the re-highlighter clears it once it has started there.
    TLineIndex RehighlightFrom() const noexcept { return rehighlightFrom_; }
    void SetRehighlightFrom(TLineIndex line) noexcept { rehighlightFrom_ = line < 0 ? -1 : line; }

    // ---- events --------------------------------------------------------------
    // Files dropped on the control (with smoProcessDroppedFiles): their names
    // and the drop point, (-1, -1) when it lies outside the client area.
    struct TPoint {
        int x = 0, y = 0;
        friend bool operator==(const TPoint&, const TPoint&) = default;
    };
    std::function<void(TCustomTessary& sender, const std::vector<std::string>& files, TPoint atPoint)>
        OnFilesDropped;
    // While a drag is over the control: the drop point and the effect the
    // control chose, which the handler may change (deNone refuses the drop).
    std::function<void(TCustomTessary& sender, TPoint atPoint, TDropEffect& effect)> OnOLEDragOver;
    // Before a paste: the sources the clipboard offers and the control's
    // choice among them (TessaryClipboard.h), which the handler may change.
    std::function<void(TCustomTessary& sender, TSourceTypes& sourceTypes)> OnDataDrop;
    // Once per outermost batch that changed something (TChangeFlag bits),
    // after the host's Changed.
    std::function<void(uint32_t flags)> OnChange;
    // Each piece of text inserted into or deleted from the store shown.
    std::function<void(const TTextChange& change)> OnTextChange;

    // ---- clipboard -------------------------------------------------------------
    // The formats copy offers (smTEXT, smRTF; both by default).
    TTE_ClipFormats ClipCopyFormats = smTEXT | smRTF;

    // Word character tests of word moves, word selection and whole-word
    // search; unset: DefaultCharStartsWord / DefaultCharIsInWord.
    std::function<bool(uint8_t)> fn_CharStartsWord;
    std::function<bool(uint8_t)> fn_CharIsInWord;
    bool StartsWord(uint8_t c) const;
    bool InWord(uint8_t c) const;

    // Messages of the layers above (the handler must be removed before it goes).
    void AddMessageHandler(TTessaryMessageHandler* handler);
    void RemoveMessageHandler(TTessaryMessageHandler* handler) noexcept;

    // ---- TUndoTarget (used by the undo log) --------------------------------------
    void GetSelection(TOffset* anchor, TOffset* caret) override;
    void SetSelection(TOffset anchor, TOffset caret) override { SetSelection(anchor, caret, true); }
    void ReplaceSelection(std::string_view text) override;
    void Beep() override;

private:
    void TextChanged(const TTextChange& change) override;
    // Caret, scroll and segments follow a change of the text.
    void FollowText(const TTextChange& change);
    void MarksChanged(TLineIndex line) override { InvalidateLines(line, line); }
    int32_t MergedStep(bool redo);
    void WidenScroll(int32_t columns);
    void TabsChanged();
    TUndoStack* Log() const;
    TUndoStack* ActiveLog();             // the log, acting on this control
    void Replace(std::string_view text); // the unrecorded part of ReplaceSel
    void InsertStream(TStream& stream);
    std::string SelectionBytes(uintptr_t copyFlags) const;
    // The selection in the formats copy offers (text always when withText).
    TClipboardData SelectionData(bool withText) const;
    // Paste's and drop's choice among text and HTML: the default choice
    // (or none), then OnDataDrop's; the bytes to insert, empty for none.
    std::string TakeSource(std::optional<std::string> text, std::optional<std::string> html,
                           TSourceTypes& sources, bool chooseDefault);
    // Drag and drop (TessaryDragDrop.cpp).
    TOffset DropOffsetAt(int x, int y) const;
    void ShowDropOffset(TOffset offset);
    TDropEffect DropEffectAt(TOffset offset, const TDragOffer& offer) const;
    void MoveDragged(TOffset to);
    void InsertDropped(TOffset at, std::string_view bytes);
    intptr_t GetTokens(uintptr_t wParam, uint8_t* out) const;
    void SetTokens(uintptr_t wParam, const uint8_t* in);
    void AfterReload();
    void Reload(const std::function<void()>& load); // load, then AfterReload even on failure
    void InvalidateLines(TLineIndex first, TLineIndex last);
    void InvalidateAll();
    // Change notification (TessaryChange.cpp).
    struct ChangeState {
        TOffset anchor = 0, caret = 0;
        bool beyond = false;
        int32_t virtualColumn = 0;
        bool insertMode = true;
        uint32_t options = 0;
    };
    ChangeState CurrentChangeState() const noexcept;
    // Raises the change report now if anything changed since the last one.
    void NotifyChange();
    intptr_t PosFromChar(TOffset offset, int32_t* point);
    intptr_t DropFiles(const TDroppedFiles* drop);

    TessaryHost* host_ = nullptr;
    std::shared_ptr<TTextStore> store_;
    TOffset anchor_ = 0, caret_ = 0;
    TLineIndex topLine_ = 0;
    int32_t leftColumn_ = 0;
    int32_t scrollWidth_ = 0;
    bool insertMode_ = true;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool focused_ = true;
    bool beyond_ = false;
    TOffset beyondCaret_ = 0;
    int32_t virtualColumn_ = 0;
    bool tracking_ = false;
    TOffset trackCaret_ = 0;
    int32_t rememberedColumn_ = 0;
    TCaretMetrics metrics_;
    int clientWidth_ = 0, clientHeight_ = 0;
    TTessaryGeometry geometry_{*this};
    std::vector<TTessaryMessageHandler*> handlers_;
    uint32_t options_ = kDefaultOptions;
    TTabStops tabs_;
    TSaveFormat saveFormat_ = sfTEXT;
    bool wantTab_ = true;
    int paintLock_ = 0;
    int batchDepth_ = 0;
    uint32_t pendingFlags_ = 0; // raised since the last report
    ChangeState notified_;      // as the last report left it
    TLineIndex rehighlightFrom_ = -1;
    bool editing_ = false; // this control is changing the store
    std::string printTitle_;
    TExportLook exportLook_;
    int32_t wrapAtColumn_ = 0;
    int32_t wrapDragColumn_ = -1;
    std::string wrapOverride_ = kDefaultWrapOverride;
    // What the store's segments were last cut for; a change re-cuts all.
    struct WrapState {
        bool on = false;
        int32_t columns = 0;
        bool overrideOn = false;
        std::string overrideChars;
        friend bool operator==(const WrapState&, const WrapState&) = default;
    };
    WrapState wrapState_;
    WrapState CurrentWrapState() const;
    // Re-cuts all lines when what wrapping depends on has changed.
    void UpdateWrap();
    void Rewrap(TLineIndex first, TLineIndex last);
    TOffset dropOffset_ = -1;
    // Ends with the drag or with any change of the text, so while active
    // the dragged bytes still stand where the drag began.
    struct DragOrigin {
        bool active = false;
        TOffset start = 0, end = 0;
        std::string bytes; // as stored
    } dragOrigin_;
};

// Default word characters.
bool DefaultCharStartsWord(uint8_t c) noexcept; // A..Z, a..z, "_"
bool DefaultCharIsInWord(uint8_t c) noexcept;   // apostrophe, "-", 0..9, A..Z, "_", a..z

} // namespace torvane::editor
