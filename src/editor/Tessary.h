#pragma once
// TCustomTessary: the editor control without a window system.
//
// It shows a text store (its own, or one shared with other controls), keeps
// the selection (anchor, caret) and the scroll position, records every
// change in the store's undo log, and talks to the window that shows it
// through TessaryHost. Its programmatic interface is Perform(msg, wParam,
// lParam) with the message numbers of TessaryMessages.h; the properties
// below are thin wrappers over the same operations.
//
// Changes go through ReplaceSelection, which writes one text transaction
// into the undo log; the messages that change text bracket it in a group so
// that the application's undo sees the change as one step.

#include "editor/Columns.h"
#include "editor/TessaryExport.h"
#include "editor/TessaryHost.h"
#include "editor/TessaryMessages.h"
#include "editor/TextStore.h"
#include "editor/UndoStack.h"
#include "highlight/EditorOptions.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace torvane::editor {

class TTessaryCommands;
class TTessarySearch;

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
    // WM_HSCROLL / WM_VSCROLL: a SB_* code; thumb is the position for the
    // thumb codes.
    void Scroll(bool vertical, uint32_t code, int32_t thumb);

    // ---- changing the text --------------------------------------------------
    // Replaces the selection with text (any line ends), recorded as one text
    // transaction; the caret ends after the new text.
    void ReplaceSel(std::string_view text);
    // Public so that the application can bracket its own commands.
    void BeginUndoGroup(int32_t kind);
    void EndUndoGroup(int32_t kind);
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    bool Modified() const;
    // False empties the undo log; true changes nothing.
    void SetModified(bool modified);

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

    // ---- settings ------------------------------------------------------------
    uint32_t Options() const noexcept { return options_; }
    void SetOptions(uint32_t options);
    const TTabStops& Tabs() const noexcept { return tabs_; }
    std::string TabColumns() const { return tabs_.Columns(); }
    void SetTabColumns(std::string_view text);
    int32_t TabDefault() const noexcept { return tabs_.Default(); }
    void SetTabDefault(int32_t width);
    bool WantTab() const noexcept { return wantTab_; }
    void SetWantTab(bool want) noexcept { wantTab_ = want; }
    bool PaintLocked() const noexcept { return paintLock_ > 0; }
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
    // Before a paste: the sources the clipboard offers and the control's
    // choice among them (TessaryClipboard.h), which the handler may change.
    std::function<void(TCustomTessary& sender, TSourceTypes& sourceTypes)> OnDataDrop;

    // ---- clipboard -------------------------------------------------------------
    // The formats copy offers (smTEXT, smRTF; both by default).
    TTE_ClipFormats ClipCopyFormats = smTEXT | smRTF;

    // ---- caret, selection and editing commands, keys and mouse --------------
    // Created on first use; defined in TessaryCommands.cpp.
    TTessaryCommands& Commands();
    // Find and replace (messages 0x0C0B, 0x0C0C); created on first use,
    // defined in TessarySearch.cpp.
    TTessarySearch& Search();

    // ---- TUndoTarget (used by the undo log) --------------------------------------
    void GetSelection(TOffset* anchor, TOffset* caret) override;
    void SetSelection(TOffset anchor, TOffset caret) override { SetSelection(anchor, caret, true); }
    void ReplaceSelection(std::string_view text) override;
    void Beep() override;

private:
    void TextChanged(const TTextChange& change) override;
    TUndoStack* Log() const;
    TUndoStack* ActiveLog();             // the log, acting on this control
    void Replace(std::string_view text); // the unrecorded part of ReplaceSel
    void InsertStream(TStream& stream);
    std::string SelectionBytes(uintptr_t copyFlags) const;
    intptr_t GetTokens(uintptr_t wParam, uint8_t* out) const;
    void SetTokens(uintptr_t wParam, const uint8_t* in);
    void AfterReload();
    void Reload(const std::function<void()>& load); // load, then AfterReload even on failure
    void InvalidateLines(TLineIndex first, TLineIndex last);
    void InvalidateAll();
    void NotifyChanged();
    intptr_t PosFromChar(TOffset offset, int32_t* point);
    intptr_t DropFiles(const TDroppedFiles* drop);
    bool ReadOnly() const;
    intptr_t CopyToClipboard(bool cut);
    intptr_t PasteFromClipboard();

    TessaryHost* host_ = nullptr;
    std::shared_ptr<TTextStore> store_;
    TOffset anchor_ = 0, caret_ = 0;
    TLineIndex topLine_ = 0;
    int32_t leftColumn_ = 0;
    uint32_t options_ = kDefaultOptions;
    TTabStops tabs_;
    TSaveFormat saveFormat_ = sfTEXT;
    bool wantTab_ = true;
    int paintLock_ = 0;
    TLineIndex rehighlightFrom_ = -1;
    bool editing_ = false; // this control is changing the store
    std::string printTitle_;
    TExportLook exportLook_;
    // shared_ptr only for its type-erased deleter: this header does not see
    // the complete class. Declared last, so it goes before the store does.
    std::shared_ptr<TTessaryCommands> commands_;
    std::shared_ptr<TTessarySearch> search_;
};

} // namespace torvane::editor
