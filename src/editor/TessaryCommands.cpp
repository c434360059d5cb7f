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

TCaretMetrics CaretMetricsOf(const TPainter& painter) noexcept {
    TCaretMetrics m;
    m.gutterRight = painter.GutterWidth();
    m.textLeft = painter.TextLeft();
    m.rowHeight = painter.Metrics().rowHeight;
    m.charWidth = painter.Metrics().charWidth;
    m.fixedPitch = painter.Metrics().fixedPitch;
    return m;
}

TTessaryCommands::TTessaryCommands(TCustomTessary& control)
    : control_(control), templates_(std::make_unique<TTessaryTemplates>(*this)) {
    ownKeyMap_.LoadDefaults();
    Clock = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    control_.AddMessageHandler(this);
}

TTessaryCommands::~TTessaryCommands() {
    control_.RemoveMessageHandler(this);
}

bool TTessaryCommands::HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
    switch (msg) {
    case TEM_BLOCKINDENT:
        BlockIndent(static_cast<int>(wParam), (lParam & 1) != 0);
        break;
    case TEM_BLOCKUNINDENT:
        BlockUnindent(static_cast<int>(wParam));
        break;
    default:
        return false;
    }
    result = 1;
    return true;
}

TCustomTessary::Batch TTessaryCommands::InputBatch() {
    // A correction waits only for the character of its own key: any other
    // input drops it.
    if (!control_.InBatch()) templates_->DropPending();
    return TCustomTessary::Batch(control_);
}

// ---- settings --------------------------------------------------------------------

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

// ---- caret ---------------------------------------------------------------------------

TLineIndex TTessaryCommands::CaretLine() const {
    return Store().LineOfOffset(control_.Caret());
}

TTessaryCommands::TCaretPos TTessaryCommands::CaretPos() const noexcept {
    return {control_.CaretColumn() + 1, CaretLine() + 1};
}

uint8_t TTessaryCommands::CaretChar() const noexcept {
    const TOffset caret = control_.Caret();
    if (control_.CaretBeyondEnd() || caret >= Store().TextLength()) return 0;
    const TLineIndex line = CaretLine();
    return static_cast<uint8_t>(Store().NodeText(line)[static_cast<size_t>(caret - Store().LineStart(line))]);
}

// ---- caret moves -------------------------------------------------------------------

void TTessaryCommands::MoveCaret(TOffset caret, bool extend) {
    control_.SetSelection(extend ? control_.Anchor() : caret, caret, true);
}

void TTessaryCommands::MoveBeyond(TLineIndex line, int32_t column, bool extend) {
    control_.SetCaretBeyond(line, column, extend);
}

void TTessaryCommands::VerticalMove(int32_t lines, bool extend, bool scrollPage) {
    const TLineIndex line = CaretLine();
    const int32_t caretColumn = control_.CaretColumn();
    const int32_t remembered = control_.ColumnRemembered() ? control_.RememberedColumn() : caretColumn;
    const int32_t column = (control_.Options() & smoColumnTrack) ? remembered : caretColumn;
    const TLineIndex target = std::clamp<TLineIndex>(line + lines, 0, Store().LineCount() - 1);
    if (scrollPage) control_.SetTopLine(control_.TopLine() + lines);
    bool beyond = false;
    const TOffset offset = Geometry().OffsetOfColumn(target, column, &beyond);
    if (beyond)
        MoveBeyond(target, column, extend);
    else
        MoveCaret(offset, extend);
    control_.RememberColumn(remembered);
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
    if (control_.StartsWord(static_cast<uint8_t>(s.Peek()))) s.Next();
    while (!s.AtEnd() && control_.InWord(static_cast<uint8_t>(s.Peek())))
        s.Next();
    while (!s.AtEnd() && !control_.InWord(static_cast<uint8_t>(s.Peek())))
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
        if (control_.InWord(static_cast<uint8_t>(s.Peek()))) {
            s.Next();
            break;
        }
        --pos;
    }
    // ... then over the word, to its first character.
    while (pos > 0) {
        s.Back();
        if (!control_.InWord(static_cast<uint8_t>(s.Peek()))) break;
        --pos;
    }
    return pos;
}

// ---- commands ------------------------------------------------------------------------

void TTessaryCommands::ExecuteCommand(int32_t code, bool extend) {
    const auto batch = InputBatch();
    const TOffset caret = control_.Caret();
    const bool vertical = code == acLineUp || code == acLineDown || code == acPageUp || code == acPageDown;
    if (!vertical) control_.ForgetColumn();
    switch (code) {
    case acCursorLeft: {
        if (control_.CaretBeyondEnd()) {
            const TLineIndex line = CaretLine();
            const int32_t column = control_.CaretColumn() - 1;
            if (column <= Geometry().EndColumn(line))
                MoveCaret(Geometry().VisibleEnd(line), extend);
            else
                MoveBeyond(line, column, extend);
        } else {
            MoveCaret(std::max(0, caret - 1), extend);
        }
        break;
    }
    case acCursorRight: {
        const TLineIndex line = CaretLine();
        if (control_.CaretBeyondEndMode() &&
            (control_.CaretBeyondEnd() || caret == Geometry().VisibleEnd(line))) {
            const int32_t column = control_.CaretColumn() + 1;
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
        TOffset end = Geometry().VisibleEnd(line) - start;
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
        control_.Cut();
        break;
    case acCopy:
        control_.Copy();
        break;
    case acPaste:
        control_.Paste();
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
        control_.SetInsertMode(!control_.InsertMode());
        break;
    case acDeleteLine:
        DeleteLine();
        break;
    case acUndo:
        control_.Undo();
        break;
    case acRedo:
        control_.Redo();
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
            Store().Bookmarks().SetBookmark(code - acSetBookmark0, caret);
        } else if (code >= acGotoBookmark0 && code < acGotoBookmark0 + TBookmarks::kCount) {
            if (auto target = Store().Bookmarks().GotoBookmark(code - acGotoBookmark0, VisibleRows())) {
                control_.SetTopLine(target->topLine);
                MoveCaret(target->caret, extend);
            }
        }
        break;
    }
}

// ---- keys ----------------------------------------------------------------------------

bool TTessaryCommands::KeyDown(uint16_t shortCut) {
    const auto batch = InputBatch();
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
    const auto batch = InputBatch();
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
    const auto batch = InputBatch();
    control_.SetTopLine(control_.TopLine() + lines);
}

void TTessaryCommands::FocusChanged(bool focused) {
    if (!focused) dragging_ = false;
    control_.SetFocused(focused);
}

void TTessaryCommands::Scrolled(int32_t topLine, int32_t leftColumn) {
    const auto batch = InputBatch();
    control_.SetTopLine(topLine);
    control_.SetLeftColumn(leftColumn);
}

void TTessaryCommands::Resized(int width, int height) {
    control_.SetClientSize(width, height);
}

} // namespace torvane::editor
