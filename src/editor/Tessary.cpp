#include "editor/Tessary.h"

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "editor/Painter.h"

#include <optional>

namespace torvane::editor {
namespace {

bool IsRich(TSaveFormat format) {
    return format == sfRTF || format == sfHTML;
}

} // namespace

bool DefaultCharStartsWord(uint8_t c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool DefaultCharIsInWord(uint8_t c) noexcept {
    return DefaultCharStartsWord(c) || (c >= '0' && c <= '9') || c == '\'' || c == '-';
}

TCustomTessary::TCustomTessary(TessaryHost* host) : store_(std::make_shared<TTextStore>()) {
    // The host is set once the store is in place: a host that is still being
    // constructed must not be called back from here.
    store_->AddObserver(this);
    ActiveLog()->Clear();
    notified_ = CurrentChangeState();
    pendingFlags_ = 0;
    host_ = host;
}

TCustomTessary::~TCustomTessary() {
    store_->RemoveObserver(this);
    if (TUndoStack* log = Log(); log && log->Target() == this) log->SetTarget(nullptr);
}

void TCustomTessary::SetStore(std::shared_ptr<TTextStore> store) {
    Batch batch(*this);
    if (store_) store_->RemoveObserver(this);
    if (!store) {
        store = std::make_shared<TTextStore>();
        store->UndoLog()->Clear();
    }
    store_ = std::move(store);
    store_->AddObserver(this);
    ActiveLog();
    anchor_ = caret_ = 0;
    topLine_ = 0;
    leftColumn_ = 0;
    beyond_ = tracking_ = false;
    scrollWidth_ = 0;
    if (host_ && !paintLock_) {
        // The view rebinds its painter and re-highlighter before it hears
        // of the new ranges.
        host_->StoreChanged();
        host_->ScrollRangesChanged(store_->LineCount(), ScrollWidth());
        host_->ScrollPositionChanged(0, 0);
    }
    InvalidateAll();
    pendingFlags_ |= cfText;
}

TUndoStack* TCustomTessary::Log() const {
    return store_ ? store_->UndoLog() : nullptr;
}

TUndoStack* TCustomTessary::ActiveLog() {
    TUndoStack* log = Log();
    // A store shared by several controls has one log; it acts on whichever
    // control records or replays through it.
    if (log) log->SetTarget(this);
    return log;
}

// ---- repaint and notifications -------------------------------------------------

void TCustomTessary::InvalidateLines(TLineIndex first, TLineIndex last) {
    if (host_ && !paintLock_) host_->InvalidateLines(first, last);
}

void TCustomTessary::InvalidateAll() {
    if (host_ && !paintLock_) host_->InvalidateAll();
}

void TCustomTessary::TextChanged(const TTextChange& change) {
    FollowText(change);
    // The same text cut anew is no change of it.
    if (change.kind == TTextChange::Kind::Rewrapped) return;
    pendingFlags_ |= cfText;
    if (OnTextChange) OnTextChange(change);
}

void TCustomTessary::FollowText(const TTextChange& change) {
    beyond_ = tracking_ = false;
    // A drag whose text changed under it is no longer this control's own:
    // a drop of it is a copy from elsewhere.
    dragOrigin_.active = false;
    if (change.kind == TTextChange::Kind::Reloaded) {
        if (!editing_) {
            anchor_ = caret_ = 0;
            topLine_ = 0;
            leftColumn_ = 0;
        }
        // A loaded text is cut at the node length only.
        if (wrapState_.on) Rewrap(0, store_->LineCount() - 1);
        scrollWidth_ = store_->WidestLine();
        if (host_ && !paintLock_) host_->ScrollRangesChanged(store_->LineCount(), ScrollWidth());
        InvalidateAll();
        return;
    }
    if (change.kind == TTextChange::Kind::Rewrapped) {
        topLine_ = std::min(topLine_, std::max(0, store_->LineCount() - 1));
        InvalidateAll();
        if (host_ && !paintLock_ && change.lineDelta != 0)
            host_->ScrollRangesChanged(store_->LineCount(), ScrollWidth());
        return;
    }
    // Another control changed the shared text: keep this selection on its text.
    if (!editing_) {
        auto shift = [&](TOffset& pos) {
            if (change.kind == TTextChange::Kind::Inserted) {
                if (pos > change.start) pos += change.extent;
            } else if (pos > change.start) {
                pos = std::max(change.start, pos - change.extent);
            }
        };
        shift(anchor_);
        shift(caret_);
    }
    // Lines removed below the view pull it back onto the text.
    if (change.lineDelta < 0)
        topLine_ = std::min(topLine_, std::max(0, store_->LineCount() - geometry_.Rows()));
    InvalidateLines(change.firstLine, change.lineDelta == 0 ? change.firstLine : -1);
    if (host_ && !paintLock_ && change.lineDelta != 0)
        host_->ScrollRangesChanged(store_->LineCount(), ScrollWidth());
    // The touched lines are cut anew, from the first segment of the first
    // one to the end of the last.
    if (wrapState_.on) {
        const TLineIndex first = store_->LineOfOffset(change.start);
        const TLineIndex last = change.kind == TTextChange::Kind::Inserted
                                    ? store_->LineOfOffset(change.start + change.extent)
                                    : first;
        Rewrap(first, last);
    }
}

// ---- selection and scrolling ----------------------------------------------------

void TCustomTessary::SetSelection(TOffset anchor, TOffset caret, bool repaint) {
    Batch batch(*this);
    const TOffset length = store_->TextLength();
    anchor = std::clamp<TOffset>(anchor, 0, length);
    caret = std::clamp<TOffset>(caret, 0, length);
    if (repaint) {
        const TOffset lo = std::min({anchor, caret, anchor_, caret_});
        const TOffset hi = std::max({anchor, caret, std::min(anchor_, length), std::min(caret_, length)});
        InvalidateLines(store_->LineOfOffset(lo), store_->LineOfOffset(hi));
    }
    anchor_ = anchor;
    caret_ = caret;
    ScrollCaretIntoView();
}

TOffset TCustomTessary::SelLength() const {
    const TOffset start = SelStart(), end = SelEnd();
    if (start == end || store_->LineStyle() != lsCRLF) return end - start;
    // Each CR inside the selection is written as CR LF.
    TOffset breaks = 0;
    const TLineIndex last = store_->LineOfOffset(end);
    for (TLineIndex line = store_->LineOfOffset(start); line <= last; ++line) {
        const TOffset lineStart = store_->LineStart(line);
        const std::string_view text = store_->NodeText(line);
        const size_t from = static_cast<size_t>(std::max<TOffset>(0, start - lineStart));
        const size_t to =
            static_cast<size_t>(std::clamp<TOffset>(end - lineStart, 0, static_cast<TOffset>(text.size())));
        if (from < to)
            breaks += static_cast<TOffset>(std::count(text.begin() + from, text.begin() + to, '\r'));
    }
    return end - start + breaks;
}

std::string TCustomTessary::SelText() const {
    TMemoryStream out;
    store_->WriteRange(out, SelStart(), SelEnd(), store_->LineEndOf(sfTEXT));
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

void TCustomTessary::SetSelLength(TOffset length) {
    const TOffset start = SelStart();
    SetSelection(start, start + std::max<TOffset>(0, length), true);
}

void TCustomTessary::SetSelText(std::string_view text) {
    Batch batch(*this); // reported once the group is closed
    UndoGroup group(*this, ugReplaceSelection);
    ReplaceSel(text);
}

void TCustomTessary::GetSelection(TOffset* anchor, TOffset* caret) {
    *anchor = anchor_;
    *caret = caret_;
}

void TCustomTessary::SetTopLine(TLineIndex line) {
    line = std::clamp<TLineIndex>(line, 0, store_->LineCount() - 1);
    if (line == topLine_) return;
    topLine_ = line;
    if (host_ && !paintLock_) host_->ScrollPositionChanged(topLine_, leftColumn_);
    InvalidateAll();
}

void TCustomTessary::SetLeftColumn(int32_t column) {
    column = std::max(column, 0);
    if (column == leftColumn_) return;
    leftColumn_ = column;
    if (host_ && !paintLock_) host_->ScrollPositionChanged(topLine_, leftColumn_);
    InvalidateAll();
}

void TCustomTessary::WidenScroll(int32_t columns) {
    if (columns <= scrollWidth_) return;
    scrollWidth_ = columns;
    if (host_ && !paintLock_) host_->ScrollRangesChanged(store_->LineCount(), scrollWidth_);
}

void TCustomTessary::ScrollCaretIntoView() {
    if (paintLock_) return;
    // Display columns, TABs expanded: the scroll range and the first visible
    // column count the same unit as the caret. The caret's column and its
    // line's width come from one look-up of the line: this runs at every
    // keystroke.
    const TLineIndex line = store_->LineOfOffset(caret_);
    const std::string_view text = store_->NodeText(line);
    const bool hasTab = store_->Node(line).HasTab();
    const int32_t index = static_cast<int32_t>(caret_ - store_->LineStart(line));
    const int32_t column = CaretBeyondEnd() ? virtualColumn_ : CharToColumn(text, hasTab, index, tabs_);
    const int32_t lineEnd = CharToColumn(text, hasTab, static_cast<int32_t>(text.size()), tabs_);
    WidenScroll(std::max(store_->WidestLine(), std::max(column, lineEnd) + 1));
    const int32_t rows = geometry_.Rows();
    const int32_t cols = geometry_.Columns();
    if (line < topLine_)
        SetTopLine(line);
    else if (line >= topLine_ + rows)
        SetTopLine(line - rows + 1);
    if (column < leftColumn_)
        SetLeftColumn(column);
    else if (column >= leftColumn_ + cols)
        SetLeftColumn(column - cols + 1);
    if (host_) host_->CaretMoved(line, column);
}

void TCustomTessary::Scroll(bool vertical, uint32_t code, int32_t thumb) {
    const int32_t page = vertical ? geometry_.Rows() : geometry_.Columns();
    const int32_t position = vertical ? topLine_ : leftColumn_;
    int32_t target = position;
    switch (code) {
    case SB_LINEUP:
        target = position - 1;
        break;
    case SB_LINEDOWN:
        target = position + 1;
        break;
    case SB_PAGEUP:
        target = position - page;
        break;
    case SB_PAGEDOWN:
        target = position + page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        target = thumb;
        break;
    case SB_TOP:
        target = 0;
        break;
    case SB_BOTTOM:
        // The last page, as far as the scroll bar goes.
        target = std::max(0, (vertical ? store_->LineCount() : ScrollWidth()) - page);
        break;
    default:
        return; // SB_ENDSCROLL and unknown codes
    }
    if (vertical)
        SetTopLine(target);
    else
        SetLeftColumn(target);
}

// ---- changing the text -------------------------------------------------------------

void TCustomTessary::Replace(std::string_view text) {
    const TOffset start = SelStart();
    editing_ = true;
    try {
        anchor_ = caret_ = store_->Replace(start, SelEnd(), text);
    } catch (...) {
        editing_ = false;
        anchor_ = caret_ = std::min(start, store_->TextLength());
        throw;
    }
    editing_ = false;
    ScrollCaretIntoView();
}

void TCustomTessary::ReplaceSel(std::string_view text) {
    Batch batch(*this); // reported once the transaction is in the log
    TUndoStack* log = ActiveLog();
    const TOffset start = SelStart();
    if (log) log->BeginTransaction(SelStoredText());
    Replace(text);
    if (log) log->EndTransaction(store_->GetRange(start, caret_));
}

void TCustomTessary::ReplaceSelection(std::string_view text) {
    Batch batch(*this);
    Replace(text);
}

void TCustomTessary::InsertStream(TStream& stream) {
    Batch batch(*this);
    auto bytes = std::make_shared<TMemoryStream>();
    bytes->CopyFrom(stream, stream.Size() - stream.Position());
    TUndoStack* log = ActiveLog();
    if (log) log->BeginTransaction(SelStoredText(), utStream);
    Replace(std::string_view(reinterpret_cast<const char*>(bytes->Memory()), bytes->Bytes().size()));
    if (log) log->EndStreamTransaction(std::move(bytes));
}

void TCustomTessary::BeginUndoGroup(int32_t kind) {
    if (TUndoStack* log = ActiveLog()) log->BeginGroup(kind);
}

void TCustomTessary::EndUndoGroup(int32_t kind) {
    if (TUndoStack* log = ActiveLog()) log->EndGroup(kind);
}

TCustomTessary::UndoGroup::~UndoGroup() {
    try {
        control_.EndUndoGroup(kind_);
    } catch (...) {
        // The log has already been cleared by whatever failed.
    }
}

void TCustomTessary::UnlockPaint() {
    if (paintLock_ == 0 || --paintLock_ > 0) return;
    Batch batch(*this); // what changed while locked is reported now
    if (host_) host_->ScrollRangesChanged(store_->LineCount(), ScrollWidth());
    ScrollCaretIntoView();
    InvalidateAll();
}

void TCustomTessary::Undo() {
    TUndoStack* log = ActiveLog();
    if (!log || readOnly_) return;
    {
        PaintLock lock(*this);
        log->Undo();
    }
}

void TCustomTessary::Redo() {
    TUndoStack* log = ActiveLog();
    if (!log || readOnly_) return;
    {
        PaintLock lock(*this);
        log->Redo();
    }
}

TUndoStep TCustomTessary::NextUndoStep(bool merge) const {
    TUndoStack* log = Log();
    TUndoStep step;
    if (!log) return {};
    log->Inspect(1, &step.kind, &step.target); // start the inspection at the log's cursor
    if (log->Inspect(4, &step.kind, &step.target) != 1) return {};
    const bool merges = merge && (step.kind == ugTyping || step.kind == ugDeleteChar);
    if (log->Inspect(16 + (merges ? TUndoStack::kInspectMerge : 0), &step.kind, &step.target) ==
        TUndoStack::kInspectNoGroup)
        return {};
    return step;
}

TUndoStep TCustomTessary::NextRedoStep(bool merge) const {
    TUndoStack* log = Log();
    TUndoStep step;
    if (!log) return {};
    log->Inspect(1, &step.kind, &step.target); // start the inspection at the log's cursor
    if (log->Inspect(8, &step.kind, &step.target) != 1) return {};
    const bool merges = merge && (step.kind == ugTyping || step.kind == ugDeleteChar);
    if (log->Inspect(32 + (merges ? TUndoStack::kInspectMerge : 0), &step.kind, &step.target) ==
        TUndoStack::kInspectNoGroup)
        return {};
    return step;
}

int32_t TCustomTessary::UndoStepMerged() {
    return MergedStep(false);
}

int32_t TCustomTessary::RedoStepMerged() {
    return MergedStep(true);
}

int32_t TCustomTessary::MergedStep(bool redo) {
    if (readOnly_) return 0;
    const TUndoStep step = redo ? NextRedoStep(true) : NextUndoStep(true);
    TUndoStack* log = ActiveLog();
    if (!log || step.kind == 0) return 0;
    int32_t kind = step.kind;
    PaintLock lock(*this);
    try {
        redo ? log->RedoTo(step.target) : log->UndoTo(step.target);
    } catch (const std::exception&) {
        // The log has cleared itself; the text stays as far as it got.
        kind = 0;
        Beep();
    }
    return kind;
}

bool TCustomTessary::Copy() {
    if (anchor_ == caret_) return false;
    if (host_) host_->SetClipboard(SelectionData(false));
    return true;
}

TClipboardData TCustomTessary::SelectionData(bool withText) const {
    TClipboardData data;
    if (withText || (ClipCopyFormats & smTEXT)) data.text = SelectionBytes(kCopyCRLF);
    if (ClipCopyFormats & smRTF) data.rtf = SelectionBytes(kCopyRTF);
    return data;
}

bool TCustomTessary::Cut() {
    if (readOnly_ || !Copy()) return false;
    Batch batch(*this);
    UndoGroup group(*this, ugCut);
    ReplaceSel({});
    return true;
}

bool TCustomTessary::Paste() {
    if (readOnly_ || !host_) return false;
    std::optional<std::string> text = host_->ClipboardText();
    std::optional<std::string> html = host_->ClipboardHtml();
    TSourceTypes sources = 0;
    const std::string bytes = TakeSource(std::move(text), std::move(html), sources, true);
    // Nothing to insert is no edit: it must not cost the redo steps or
    // mark the document changed.
    if (bytes.empty()) return false;
    Batch batch(*this);
    UndoGroup group(*this, ugPaste);
    ReplaceSel(bytes);
    return true;
}

std::string TCustomTessary::TakeSource(std::optional<std::string> text, std::optional<std::string> html,
                                       TSourceTypes& sources, bool chooseDefault) {
    if (text && text->empty()) text.reset();
    if (html && html->empty()) html.reset();
    sources |= (text ? stTextAvailable : 0) | (html ? stHTMLAvailable : 0);
    if (!text && !html) return {};
    // Text when there is text, else the HTML trimmed to its fragment.
    if (chooseDefault) sources |= text ? stText : stHTML | stHTMLCutHead | stHTMLFragment;
    if (OnDataDrop) OnDataDrop(*this, sources);
    if ((sources & stText) && text) return std::move(*text);
    if ((sources & stHTML) && html) return TrimHtml(*html, sources);
    return {};
}

bool TCustomTessary::CanPaste() {
    if (readOnly_ || !host_) return false;
    const std::optional<std::string> text = host_->ClipboardText();
    if (text && !text->empty()) return true;
    const std::optional<std::string> html = host_->ClipboardHtml();
    return html && !html->empty();
}

bool TCustomTessary::CanUndo() const {
    TUndoStack* log = Log();
    return log && log->CanUndo();
}

bool TCustomTessary::CanRedo() const {
    TUndoStack* log = Log();
    return log && log->CanRedo();
}

bool TCustomTessary::Modified() const {
    TUndoStack* log = Log();
    return log && log->Modified();
}

void TCustomTessary::SetModified(bool modified) {
    if (TUndoStack* log = Log(); log && !modified) log->Clear();
}

void TCustomTessary::Beep() {
    if (host_) host_->Beep();
}

// ---- files ----------------------------------------------------------------------------

void TCustomTessary::AfterReload() {
    anchor_ = caret_ = 0;
    topLine_ = 0;
    leftColumn_ = 0;
    scrollWidth_ = store_->WidestLine();
    if (TUndoStack* log = Log()) log->Clear();
    if (host_ && !paintLock_) {
        host_->ScrollRangesChanged(store_->LineCount(), ScrollWidth());
        host_->ScrollPositionChanged(0, 0);
    }
    InvalidateAll();
    ScrollCaretIntoView();
}

void TCustomTessary::Reload(const std::function<void()>& load) {
    // A failed load still leaves the control showing whatever was read.
    Batch batch(*this);
    editing_ = true;
    try {
        load();
    } catch (...) {
        editing_ = false;
        AfterReload();
        throw;
    }
    editing_ = false;
    AfterReload();
}

void TCustomTessary::LoadFromStream(TStream& stream) {
    Reload([&] { store_->LoadFromStream(stream); });
}

void TCustomTessary::LoadFromFile(const std::string& fileName) {
    Reload([&] { store_->LoadFromFile(fileName); });
    if (options_ & smoTitleAsFilename) printTitle_ = fileName;
}

void TCustomTessary::SaveToStream(TStream* stream) {
    if (stream && IsRich(saveFormat_))
        WriteRich(*stream, saveFormat_, 0, store_->TextLength());
    else
        store_->SaveToStream(stream, saveFormat_);
}

void TCustomTessary::SaveToFile(const std::string& fileName) {
    if (IsRich(saveFormat_)) {
        ExportToFile(fileName, saveFormat_);
        if (TUndoStack* log = Log()) log->Clear();
    } else {
        store_->SaveToFile(fileName, saveFormat_);
    }
    if (options_ & smoTitleAsFilename) printTitle_ = fileName;
}

// ---- modes and geometry -------------------------------------------------------------------

void TCustomTessary::SetInsertMode(bool insert) {
    if (insert == insertMode_) return;
    Batch batch(*this);
    insertMode_ = insert;
    const TLineIndex line = store_->LineOfOffset(caret_);
    InvalidateLines(line, line);
}

void TCustomTessary::SetHideSelection(bool hide) {
    hideSelection_ = hide;
    InvalidateAll();
}

void TCustomTessary::SetFocused(bool focused) {
    if (focused == focused_) return;
    focused_ = focused;
    InvalidateAll();
}

bool TCustomTessary::CaretBeyondEndMode() const noexcept {
    return (options_ & smoCaretAfterEOL) && metrics_.fixedPitch;
}

bool TCustomTessary::CaretBeyondEnd() const noexcept {
    return beyond_ && caret_ == beyondCaret_ && CaretBeyondEndMode();
}

int32_t TCustomTessary::CaretColumn() const {
    return CaretBeyondEnd() ? virtualColumn_ : geometry_.ColumnOf(caret_);
}

void TCustomTessary::SetCaretBeyond(TLineIndex line, int32_t column, bool extend) {
    Batch batch(*this); // the offset may stay, the column moves
    const TOffset end = geometry_.VisibleEnd(line);
    // Set before the selection moves, so that scrolling sees the virtual column.
    beyond_ = true;
    beyondCaret_ = end;
    virtualColumn_ = std::min(column, kMaxVirtualColumn);
    SetSelection(extend ? anchor_ : end, end, true);
    ScrollCaretIntoView(); // the offset may not have moved, the column did
}

void TCustomTessary::RememberColumn(int32_t column) noexcept {
    tracking_ = true;
    trackCaret_ = caret_;
    rememberedColumn_ = column;
}

bool TCustomTessary::SetMetrics(const TCaretMetrics& metrics) {
    TCaretMetrics m = metrics;
    m.rowHeight = std::max(1, m.rowHeight);
    m.charWidth = std::max(1, m.charWidth);
    if (m == metrics_) return false;
    Batch batch(*this);
    pendingFlags_ |= cfFont;
    metrics_ = m;
    UpdateWrap();
    InvalidateAll();
    return true;
}

void TCustomTessary::SetClientSize(int width, int height) {
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
    UpdateWrap();
}

TViewState TCustomTessary::ViewState() const {
    TViewState view;
    view.topLine = topLine_;
    view.leftColumn = leftColumn_;
    view.clientWidth = clientWidth_;
    view.clientHeight = clientHeight_;
    view.anchor = anchor_;
    view.caret = caret_;
    view.focused = focused_;
    view.hideSelection = hideSelection_;
    view.insertMode = insertMode_;
    view.caretBeyondEnd = CaretBeyondEnd();
    view.virtualColumn = CaretBeyondEnd() ? virtualColumn_ : 0;
    view.dropCaret = dropOffset_;
    return view;
}

bool TCustomTessary::StartsWord(uint8_t c) const {
    return fn_CharStartsWord ? fn_CharStartsWord(c) : DefaultCharStartsWord(c);
}

bool TCustomTessary::InWord(uint8_t c) const {
    return fn_CharIsInWord ? fn_CharIsInWord(c) : DefaultCharIsInWord(c);
}

void TCustomTessary::AddMessageHandler(TTessaryMessageHandler* handler) {
    if (handler && std::find(handlers_.begin(), handlers_.end(), handler) == handlers_.end())
        handlers_.push_back(handler);
}

void TCustomTessary::RemoveMessageHandler(TTessaryMessageHandler* handler) noexcept {
    std::erase(handlers_, handler);
}

// ---- settings ---------------------------------------------------------------------------

// ---- word wrap ----------------------------------------------------------------------------

int32_t TCustomTessary::WrapColumns() const noexcept {
    return wrapAtColumn_ > 0 ? wrapAtColumn_ : std::max<int32_t>(1, geometry_.Columns());
}

TCustomTessary::WrapState TCustomTessary::CurrentWrapState() const {
    WrapState s;
    s.on = (options_ & smoWordWrap) != 0;
    if (s.on) {
        s.columns = WrapColumns();
        s.overrideOn = (options_ & smoWrapOverride) != 0;
        s.overrideChars = wrapOverride_;
    }
    return s;
}

void TCustomTessary::Rewrap(TLineIndex first, TLineIndex last) {
    TWrapRule rule;
    rule.columns = wrapState_.columns;
    rule.tabs = &tabs_;
    rule.overrideOn = wrapState_.overrideOn;
    rule.overrideChars = wrapState_.overrideChars;
    rule.wordBreak = OnWordBreakProc;
    const bool on = wrapState_.on;
    store_->Rewrap(first, last, [&](std::string_view line, std::vector<int32_t>& lengths) {
        if (on)
            CutLine(line, rule, lengths);
        else
            CutAtNodeLength(line, lengths);
    });
}

void TCustomTessary::RewrapAll() {
    const WrapState before = wrapState_;
    wrapState_ = CurrentWrapState();
    // Unwrapped text is cut only at the node length already: nothing to do.
    if (!before.on && !wrapState_.on) return;
    Rewrap(0, store_->LineCount() - 1);
    InvalidateAll();
}

void TCustomTessary::UpdateWrap() {
    if (CurrentWrapState() != wrapState_) RewrapAll();
}

void TCustomTessary::SetWrapAtColumn(int32_t column) {
    wrapAtColumn_ = std::clamp<int32_t>(column, 0, 0xFFFF);
    UpdateWrap();
    InvalidateAll();
}

void TCustomTessary::SetWrapDragColumn(int32_t column) {
    column = column < 0 ? -1 : std::clamp<int32_t>(column, 1, 0xFFFF);
    if (column == wrapDragColumn_) return;
    wrapDragColumn_ = column;
    InvalidateAll();
}

void TCustomTessary::SetWrapOverride(std::string_view chars) {
    wrapOverride_ = chars;
    UpdateWrap();
}

void TCustomTessary::SetOptions(uint32_t options) {
    Batch batch(*this);
    options_ = options;
    UpdateWrap();
    // The gutter and the margin lines depend on the options: the view
    // re-measures before it repaints.
    if (host_ && !paintLock_) host_->SettingsChanged();
    InvalidateAll();
}

void TCustomTessary::SetTabColumns(std::string_view text) {
    tabs_.SetColumns(text);
    TabsChanged();
}

void TCustomTessary::SetTabDefault(int32_t width) {
    tabs_.SetDefault(width);
    TabsChanged();
}

void TCustomTessary::TabsChanged() {
    // Segments are cut at display widths, which the stops change.
    if (wrapState_.on) RewrapAll();
    // The caret's column moves with the stops: keep it in view and the
    // scroll range wide enough to reach it.
    ScrollCaretIntoView();
    InvalidateAll();
}

} // namespace torvane::editor
