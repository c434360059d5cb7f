#include "editor/TessaryCommands.h"

#include "editor/Columns.h"
#include "editor/EdStream.h"
#include "editor/Painter.h"
#include "editor/TessaryTemplates.h"
#include "highlight/Settings.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace torvane::editor {

bool DefaultCharStartsWord(uint8_t c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool DefaultCharIsInWord(uint8_t c) noexcept {
    return DefaultCharStartsWord(c) || (c >= '0' && c <= '9') || c == '\'' || c == '-';
}

TCaretMetrics CaretMetricsOf(const TPainter& painter) noexcept {
    TCaretMetrics m;
    m.gutterRight = painter.GutterWidth();
    m.textLeft = painter.TextLeft();
    m.rowHeight = painter.Metrics().rowHeight;
    m.charWidth = painter.Metrics().charWidth;
    m.fixedPitch = painter.Metrics().fixedPitch;
    return m;
}

TTessaryCommands& TCustomTessary::Commands() {
    if (!commands_) commands_ = std::make_shared<TTessaryCommands>(*this);
    return *commands_;
}

TTessaryCommands::TTessaryCommands(TCustomTessary& control)
    : control_(control), templates_(std::make_unique<TTessaryTemplates>(*this)) {
    ownKeyMap_.LoadDefaults();
    Clock = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    FollowStore();
    notified_ = Current();
}

TTessaryCommands::~TTessaryCommands() {
    if (observed_) observed_->RemoveObserver(this);
}

// ---- store, batches and OnChange ------------------------------------------------

void TTessaryCommands::FollowStore() {
    const std::shared_ptr<TTextStore>& store = control_.SharedStore();
    if (store == observed_) return;
    bookmarks_.reset();
    if (observed_) observed_->RemoveObserver(this);
    // Held, not borrowed: the control may drop the old store before we hear of it.
    observed_ = store;
    observed_->AddObserver(this);
    beyond_ = tracking_ = false;
    pendingFlags_ |= cfText;
}

void TTessaryCommands::TextChanged(const TTextChange& change) {
    pendingFlags_ |= cfText;
    beyond_ = false;
    tracking_ = false;
    if (OnTextChange) OnTextChange(change);
}

TTessaryCommands::Snapshot TTessaryCommands::Current() const {
    Snapshot s;
    s.anchor = control_.Anchor();
    s.caret = control_.Caret();
    s.beyond = CaretBeyondEnd();
    s.virtualColumn = s.beyond ? virtualColumn_ : 0;
    s.insertMode = insertMode_;
    s.options = control_.Options();
    return s;
}

void TTessaryCommands::BeginBatch() {
    FollowStore();
    // A correction waits only for the character of its own key.
    if (batchDepth_ == 0) templates_->DropPending();
    ++batchDepth_;
}

void TTessaryCommands::EndBatch() {
    if (--batchDepth_ == 0) NotifyChange();
}

void TTessaryCommands::NotifyChange() {
    FollowStore();
    if (control_.PaintLocked()) return;
    const Snapshot now = Current();
    uint32_t flags = pendingFlags_;
    if (now.caret != notified_.caret || now.beyond != notified_.beyond ||
        now.virtualColumn != notified_.virtualColumn)
        flags |= cfCaret;
    if (std::min(now.anchor, now.caret) != std::min(notified_.anchor, notified_.caret) ||
        std::max(now.anchor, now.caret) != std::max(notified_.anchor, notified_.caret))
        flags |= cfSelection;
    if (now.insertMode != notified_.insertMode) flags |= cfInsertMode;
    if (now.options != notified_.options) flags |= cfOptions;
    notified_ = now;
    pendingFlags_ = 0;
    if (flags && OnChange) OnChange(flags);
}

// ---- settings --------------------------------------------------------------------

void TTessaryCommands::SetInsertMode(bool insert) {
    Batch batch(*this);
    insertMode_ = insert;
}

bool TTessaryCommands::SetIndentStep(int step) noexcept {
    if (step < 1 || step > 19) return false;
    indentStep_ = step;
    return true;
}

void TTessaryCommands::SetKeyMap(TKeyboardActionContoller* keyMap) noexcept {
    keyMap_ = keyMap ? keyMap : &ownKeyMap_;
}

void TTessaryCommands::SetSettings(TTE_Settings* settings) noexcept {
    if (settings != settings_) templates_->PickCancel();
    settings_ = settings;
}

TKeyboardActionContoller& TTessaryCommands::KeyMap() noexcept {
    return settings_ ? settings_->KeyMap() : *keyMap_;
}

void TTessaryCommands::SetMetrics(const TCaretMetrics& metrics) {
    Batch batch(*this);
    if (metrics == metrics_) return;
    metrics_ = metrics;
    metrics_.rowHeight = std::max(1, metrics_.rowHeight);
    metrics_.charWidth = std::max(1, metrics_.charWidth);
    pendingFlags_ |= cfFont;
}

TBookmarks& TTessaryCommands::Bookmarks() {
    FollowStore();
    if (!bookmarks_) {
        bookmarks_ = std::make_unique<TBookmarks>(*observed_);
        bookmarks_->OnRepaintLine = [this](TLineIndex line) {
            if (TessaryHost* host = control_.Host()) host->InvalidateLines(line, line);
        };
    }
    return *bookmarks_;
}

bool TTessaryCommands::StartsWord(uint8_t c) const {
    return fn_CharStartsWord ? fn_CharStartsWord(c) : DefaultCharStartsWord(c);
}

bool TTessaryCommands::InWord(uint8_t c) const {
    return fn_CharIsInWord ? fn_CharIsInWord(c) : DefaultCharIsInWord(c);
}

// ---- caret geometry ----------------------------------------------------------------

bool TTessaryCommands::CaretBeyondEndMode() const noexcept {
    return (control_.Options() & smoCaretAfterEOL) && metrics_.fixedPitch;
}

bool TTessaryCommands::CaretBeyondEnd() const noexcept {
    return beyond_ && control_.Caret() == beyondCaret_ && CaretBeyondEndMode();
}

TLineIndex TTessaryCommands::CaretLine() const {
    return Store().LineOfOffset(control_.Caret());
}

int32_t TTessaryCommands::VisibleRows() const {
    if (const TessaryHost* host = control_.Host()) return std::max(1, host->VisibleLines());
    if (clientHeight_ > 0) return std::max(1, clientHeight_ / metrics_.rowHeight);
    return TessaryHost().VisibleLines();
}

int32_t TTessaryCommands::ColumnOf(TOffset offset) const {
    const TLineIndex line = Store().LineOfOffset(offset);
    return CharToColumn(Store().NodeText(line), Store().Node(line).HasTab(), offset - Store().LineStart(line),
                        control_.Tabs());
}

int32_t TTessaryCommands::CaretColumn() const noexcept {
    return CaretBeyondEnd() ? virtualColumn_ : ColumnOf(control_.Caret());
}

TTessaryCommands::TCaretPos TTessaryCommands::CaretPos() const noexcept {
    return {CaretColumn() + 1, CaretLine() + 1};
}

uint8_t TTessaryCommands::CaretChar() const noexcept {
    const TOffset caret = control_.Caret();
    if (CaretBeyondEnd() || caret >= Store().TextLength()) return 0;
    const TLineIndex line = CaretLine();
    return static_cast<uint8_t>(Store().NodeText(line)[static_cast<size_t>(caret - Store().LineStart(line))]);
}

TOffset TTessaryCommands::VisibleEnd(TLineIndex line) const {
    const std::string_view text = Store().NodeText(line);
    const bool breaks = !text.empty() && text.back() == kLineBreak;
    return Store().LineStart(line) + static_cast<TOffset>(text.size()) - (breaks ? 1 : 0);
}

int32_t TTessaryCommands::EndColumn(TLineIndex line) const {
    return CharToColumn(Store().NodeText(line), Store().Node(line).HasTab(),
                        VisibleEnd(line) - Store().LineStart(line), control_.Tabs());
}

TOffset TTessaryCommands::OffsetOfColumn(TLineIndex line, int32_t column, bool* beyond) const {
    const std::string_view text = Store().NodeText(line);
    const bool hasTab = Store().Node(line).HasTab();
    const TOffset start = Store().LineStart(line);
    if (beyond) *beyond = false;
    if (column >= EndColumn(line)) {
        if (beyond && column > EndColumn(line) && CaretBeyondEndMode()) *beyond = true;
        return VisibleEnd(line);
    }
    int32_t index = ColumnToChar(text, hasTab, column, control_.Tabs());
    // Inside a TAB's cells: the TAB itself, not the character after it.
    if (index > 0 && CharToColumn(text, hasTab, index, control_.Tabs()) > column) --index;
    return start + index;
}

// ---- caret moves -------------------------------------------------------------------

void TTessaryCommands::MoveCaret(TOffset caret, bool extend) {
    beyond_ = false;
    control_.SetSelection(extend ? control_.Anchor() : caret, caret, true);
}

void TTessaryCommands::MoveBeyond(TLineIndex line, int32_t column, bool extend) {
    const TOffset end = VisibleEnd(line);
    MoveCaret(end, extend);
    beyond_ = true;
    beyondCaret_ = end;
    virtualColumn_ = std::min(column, kMaxVirtualColumn);
    if (TessaryHost* host = control_.Host()) {
        // The control scrolls to the caret's offset; virtual space is ours.
        const int32_t columns = std::max(1, host->VisibleColumns());
        if (virtualColumn_ >= control_.LeftColumn() + columns)
            control_.SetLeftColumn(virtualColumn_ - columns + 1);
        host->CaretMoved(line, virtualColumn_);
    }
}

void TTessaryCommands::VerticalMove(int32_t lines, bool extend, bool scrollPage) {
    const TLineIndex line = CaretLine();
    if (!(tracking_ && control_.Caret() == trackCaret_)) rememberedColumn_ = CaretColumn();
    const int32_t column = (control_.Options() & smoColumnTrack) ? rememberedColumn_ : CaretColumn();
    const TLineIndex target = std::clamp<TLineIndex>(line + lines, 0, Store().LineCount() - 1);
    if (scrollPage) control_.SetTopLine(control_.TopLine() + lines);
    bool beyond = false;
    const TOffset offset = OffsetOfColumn(target, column, &beyond);
    if (beyond)
        MoveBeyond(target, column, extend);
    else
        MoveCaret(offset, extend);
    tracking_ = true;
    trackCaret_ = control_.Caret();
}

void TTessaryCommands::ScrollLine(int32_t delta) {
    const TLineIndex top = control_.TopLine();
    if ((delta < 0 && top == 0) || (delta > 0 && top >= Store().LineCount() - 1)) return;
    control_.SetTopLine(top + delta);
    const TLineIndex newTop = control_.TopLine();
    const TLineIndex line = CaretLine();
    if (line >= newTop + VisibleRows())
        VerticalMove(-1, false, false);
    else if (line < newTop)
        VerticalMove(1, false, false);
}

TOffset TTessaryCommands::WordAfter(TOffset from) const {
    TEdStream s(Store());
    s.SetPosition(from);
    if (s.AtEnd()) return s.GetPosition();
    if (StartsWord(static_cast<uint8_t>(s.Peek()))) s.Next();
    while (!s.AtEnd() && InWord(static_cast<uint8_t>(s.Peek())))
        s.Next();
    while (!s.AtEnd() && !InWord(static_cast<uint8_t>(s.Peek())))
        s.Next();
    return s.GetPosition();
}

TOffset TTessaryCommands::WordBefore(TOffset from) const {
    TEdStream s(Store());
    s.SetPosition(from);
    TOffset pos = s.GetPosition();
    // Back over the blanks and punctuation before the caret ...
    while (pos > 0) {
        s.Back();
        if (InWord(static_cast<uint8_t>(s.Peek()))) {
            s.Next();
            break;
        }
        --pos;
    }
    // ... then over the word, to its first character.
    while (pos > 0) {
        s.Back();
        if (!InWord(static_cast<uint8_t>(s.Peek()))) break;
        --pos;
    }
    return pos;
}

// ---- commands ------------------------------------------------------------------------

void TTessaryCommands::ExecuteCommand(int32_t code, bool extend) {
    Batch batch(*this);
    const TOffset caret = control_.Caret();
    const bool vertical = code == acLineUp || code == acLineDown || code == acPageUp || code == acPageDown;
    if (!vertical) tracking_ = false;
    switch (code) {
    case acCursorLeft: {
        if (CaretBeyondEnd()) {
            const TLineIndex line = CaretLine();
            const int32_t column = virtualColumn_ - 1;
            if (column <= EndColumn(line))
                MoveCaret(VisibleEnd(line), extend);
            else
                MoveBeyond(line, column, extend);
        } else {
            MoveCaret(std::max(0, caret - 1), extend);
        }
        break;
    }
    case acCursorRight: {
        const TLineIndex line = CaretLine();
        if (CaretBeyondEndMode() && (CaretBeyondEnd() || caret == VisibleEnd(line))) {
            const int32_t column = CaretColumn() + 1;
            if (column <= kMaxVirtualColumn) MoveBeyond(line, column, extend);
        } else {
            MoveCaret(std::min(Store().TextLength(), caret + 1), extend);
        }
        break;
    }
    case acLineStart:
        MoveCaret(Store().LineStart(CaretLine()), extend);
        break;
    case acLineEnd: {
        const TLineIndex line = CaretLine();
        const TOffset start = Store().LineStart(line);
        const std::string_view text = Store().NodeText(line);
        TOffset end = VisibleEnd(line) - start;
        while (end > 0 &&
               (text[static_cast<size_t>(end - 1)] == ' ' || text[static_cast<size_t>(end - 1)] == '\t'))
            --end;
        MoveCaret(start + end, extend);
        break;
    }
    case acLineUp:
        VerticalMove(-1, extend, false);
        break;
    case acLineDown:
        VerticalMove(1, extend, false);
        break;
    case acPageUp:
        VerticalMove(-VisibleRows(), extend, true);
        break;
    case acPageDown:
        VerticalMove(VisibleRows(), extend, true);
        break;
    case acWordLeft:
        MoveCaret(WordBefore(caret), extend);
        break;
    case acWordRight:
        MoveCaret(WordAfter(caret), extend);
        break;
    case acDocumentStart:
        MoveCaret(0, extend);
        break;
    case acDocumentEnd:
        MoveCaret(Store().TextLength(), extend);
        break;
    case acCut:
        if (!readOnly_) control_.Perform(WM_CUT);
        break;
    case acCopy:
        control_.Perform(WM_COPY);
        break;
    case acPaste:
        if (!readOnly_) control_.Perform(WM_PASTE);
        break;
    case acDeleteChar:
        DeleteChar(false);
        break;
    case acDeleteCharBefore:
        DeleteChar(true);
        break;
    case acBlockIndent:
        BlockIndent(0, false);
        break;
    case acBlockUnindent:
        BlockUnindent(0);
        break;
    case acToggleInsert:
        insertMode_ = !insertMode_;
        if (TessaryHost* host = control_.Host()) host->InvalidateLines(CaretLine(), CaretLine());
        break;
    case acDeleteLine:
        DeleteLine();
        break;
    case acUndo:
        if (!readOnly_) control_.Perform(EM_UNDO);
        break;
    case acRedo:
        if (!readOnly_) control_.Perform(TEM_REDO);
        break;
    case acDeleteWordBefore:
        DeleteWord(true);
        break;
    case acPrintSelection:
        if (OnPrintSelection) OnPrintSelection();
        break;
    case acDeleteWordAfter:
        DeleteWord(false);
        break;
    case acScrollUp:
        ScrollLine(-1);
        break;
    case acScrollDown:
        ScrollLine(1);
        break;
    default:
        if (code >= acSetBookmark0 && code < acSetBookmark0 + TBookmarks::kCount) {
            Bookmarks().SetBookmark(code - acSetBookmark0, caret);
        } else if (code >= acGotoBookmark0 && code < acGotoBookmark0 + TBookmarks::kCount) {
            if (auto target = Bookmarks().GotoBookmark(code - acGotoBookmark0, VisibleRows())) {
                control_.SetTopLine(target->topLine);
                MoveCaret(target->caret, extend);
            }
        }
        break;
    }
}

// ---- keys ----------------------------------------------------------------------------

bool TTessaryCommands::KeyDown(uint16_t shortCut) {
    Batch batch(*this);
    // Code templates first, then auto-correct, then the key map.
    if (templates_->TemplateKey(shortCut)) return true;
    templates_->AutoReplaceKey(shortCut);
    int32_t code = acNone;
    bool extend = false;
    const auto result = KeyMap().HandleKey(shortCut, code, extend);
    // A key the map uses types nothing: a waiting correction is made now.
    if (result != TKeyboardActionContoller::KeyResult::NotHandled) templates_->FlushPending();
    switch (result) {
    case TKeyboardActionContoller::KeyResult::NotHandled:
        return false;
    case TKeyboardActionContoller::KeyResult::Pending:
    case TKeyboardActionContoller::KeyResult::Swallowed:
        return true;
    case TKeyboardActionContoller::KeyResult::Command:
        if (OnCommandRecognised) OnCommandRecognised(code);
        ExecuteCommand(code, extend);
        return true;
    }
    return false;
}

void TTessaryCommands::KeyPress(uint8_t byte) {
    // Taken before the batch begins, which would drop it.
    std::optional<TTessaryTemplates::TCorrection> correction = templates_->TakePending();
    Batch batch(*this);
    if (!correction) {
        TypeKey(byte);
        return;
    }
    // The correction and the character that fired it are one undo step.
    control_.BeginUndoGroup(ugTemplate);
    try {
        if (TTE_Settings* settings = settings_)
            templates_->Expand(correction->start, correction->end, correction->text, settings->AutoReplace());
        TypeKey(byte);
    } catch (...) {
        control_.EndUndoGroup(ugTemplate);
        throw;
    }
    control_.EndUndoGroup(ugTemplate);
}

void TTessaryCommands::TypeKey(uint8_t byte) {
    switch (byte) {
    case '\r':
        if (wantReturns_) TypeChar('\r');
        return;
    case '\n':
        // Ctrl+Return of a control that leaves RETURN to its dialog.
        if (!wantReturns_) TypeChar('\r');
        return;
    case '\t': {
        if (!control_.WantTab()) return;
        const uint32_t options = control_.Options();
        if ((options & smoUseTAB) && (!(options & smoTabToColumn) || (options & smoWordWrap)))
            TypeChar('\t');
        else
            TabToColumn();
        return;
    }
    default:
        if (byte >= 32 && byte != 127) TypeChar(byte);
        return;
    }
}

void TTessaryCommands::Wheel(int lines) {
    Batch batch(*this);
    control_.SetTopLine(control_.TopLine() + lines);
}

void TTessaryCommands::FocusChanged(bool focused) {
    if (!focused) dragging_ = false;
}

void TTessaryCommands::Scrolled(int32_t topLine, int32_t leftColumn) {
    Batch batch(*this);
    control_.SetTopLine(topLine);
    control_.SetLeftColumn(leftColumn);
}

void TTessaryCommands::FillViewState(TViewState& view) const noexcept {
    view.anchor = control_.Anchor();
    view.caret = control_.Caret();
    view.topLine = control_.TopLine();
    view.leftColumn = control_.LeftColumn();
    view.insertMode = insertMode_;
    view.hideSelection = hideSelection_;
    view.caretBeyondEnd = CaretBeyondEnd();
    view.virtualColumn = VirtualColumn();
}

void TTessaryCommands::Resized(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
}

} // namespace torvane::editor
