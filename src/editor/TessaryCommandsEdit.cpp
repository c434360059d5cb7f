// Typing, filling, tab to column, deletion and block indent of
// TTessaryCommands.

#include "editor/Columns.h"
#include "editor/Painter.h"
#include "editor/TessaryCommands.h"

#include <algorithm>
#include <vector>

namespace torvane::editor {
namespace {

bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

// Un-indent also removes non-breaking spaces.
bool IsIndentBlank(char c) noexcept {
    return IsBlank(c) || static_cast<uint8_t>(c) == 160;
}

// Where a change at p leaves an offset: insertions at p push later offsets
// on, removals pull them back (those inside the removed piece go to p).
TOffset AfterInsert(TOffset pos, TOffset p, TOffset n) noexcept {
    return pos > p ? pos + n : pos;
}
TOffset AfterRemove(TOffset pos, TOffset p, TOffset n) noexcept {
    return pos > p ? std::max(p, pos - n) : pos;
}

} // namespace

std::string TTessaryCommands::Fill(int32_t from, int32_t to) const {
    std::string fill;
    if (to <= from) return fill;
    int32_t column = from;
    const uint32_t options = control_.Options();
    if ((options & smoUseTAB) && (options & smoSmartFill)) {
        for (;;) {
            const int32_t next = control_.Tabs().NextStop(column);
            if (next <= column || next > to) break;
            fill += '\t';
            column = next;
        }
    }
    fill.append(static_cast<size_t>(to - column), ' ');
    return fill;
}

void TTessaryCommands::ReplaceInGroup(int32_t kind, std::string_view text) {
    TCustomTessary::UndoGroup group(control_, kind);
    control_.ReplaceSel(text);
}

void TTessaryCommands::TypeChar(uint8_t c) {
    if (control_.ReadOnly()) return;
    const bool isReturn = c == '\r';
    const TOffset caret = control_.Caret();
    const bool noSelection = control_.Anchor() == caret;
    const bool beyond = control_.CaretBeyondEnd() && noSelection;
    const int32_t indent = isReturn && (control_.Options() & smoAutoIndent) ? AutoIndentColumn() : 0;

    TCustomTessary::UndoGroup group(control_, ugTyping);
    std::string text;
    if (beyond) {
        text = Fill(Geometry().EndColumn(CaretLine()), control_.CaretColumn());
    } else if (!control_.InsertMode() && !isReturn && noSelection && caret < Store().TextLength()) {
        // Overwrite replaces the character at the caret, never a line break.
        if (CaretChar() != kLineBreak) control_.SetSelection(caret, caret + 1, false);
    }
    text += static_cast<char>(c);
    if (indent > 0) text += Fill(0, indent);
    control_.ReplaceSel(text);
}

int32_t TTessaryCommands::AutoIndentColumn() const {
    const TLineIndex line = CaretLine();
    const std::string_view text = Store().NodeText(line);
    const TOffset visible = Geometry().VisibleEnd(line) - Store().LineStart(line);
    const TOffset caretIndex = control_.Caret() - Store().LineStart(line);
    if (visible > 0) {
        TOffset run = 0;
        while (run < visible && IsBlank(text[static_cast<size_t>(run)]))
            ++run;
        if (run == 0) return 0; // text without leading blanks: no indentation
        const int32_t column =
            CharToColumn(text, Store().Node(line).HasTab(), std::min(run, caretIndex), control_.Tabs());
        // At the very start of an indented line the line moves down as it is;
        // indenting the new line in front of it would indent its text twice.
        if (column > 0 || caretIndex == 0) return column;
    }
    // An empty line takes the indentation of the nearest earlier line with text.
    for (TLineIndex l = line - 1; l >= 0; --l) {
        const std::string_view earlier = Store().NodeText(l);
        const TOffset end = Geometry().VisibleEnd(l) - Store().LineStart(l);
        TOffset run = 0;
        while (run < end && IsBlank(earlier[static_cast<size_t>(run)]))
            ++run;
        if (run < end) return CharToColumn(earlier, Store().Node(l).HasTab(), run, control_.Tabs());
    }
    return 0;
}

int32_t TTessaryCommands::TabTarget(int32_t column) const {
    if (!(control_.Options() & smoTabToColumn)) return control_.Tabs().NextStop(column);
    // Align with the next word of the nearest line above that reaches past
    // the caret column.
    for (TLineIndex l = CaretLine() - 1; l >= 0; --l) {
        if (Geometry().EndColumn(l) <= column) continue;
        const std::string_view text = Store().NodeText(l);
        const bool hasTab = Store().Node(l).HasTab();
        const TOffset end = Geometry().VisibleEnd(l) - Store().LineStart(l);
        TOffset i = Geometry().OffsetOfColumn(l, column, nullptr) - Store().LineStart(l);
        while (i < end && !IsBlank(text[static_cast<size_t>(i)]))
            ++i;
        while (i < end && IsBlank(text[static_cast<size_t>(i)]))
            ++i;
        return CharToColumn(text, hasTab, i, control_.Tabs());
    }
    return control_.Tabs().NextStop(column);
}

void TTessaryCommands::TabToColumn() {
    if (control_.ReadOnly()) return;
    const bool noSelection = control_.Anchor() == control_.Caret();
    const bool beyond = control_.CaretBeyondEnd() && noSelection;
    const int32_t column = noSelection ? control_.CaretColumn() : Geometry().ColumnOf(control_.SelStart());
    const int32_t target = TabTarget(column);
    // Beyond the end the gap up to the caret is filled together with the step.
    const int32_t from = beyond ? Geometry().EndColumn(CaretLine()) : column;
    ReplaceInGroup(ugTyping, Fill(from, target));
}

void TTessaryCommands::DeleteChar(bool before) {
    if (control_.ReadOnly()) return;
    const TOffset caret = control_.Caret();
    if (control_.Anchor() != caret) {
        ReplaceInGroup(ugDeleteChar, {});
        return;
    }
    const TLineIndex line = CaretLine();
    if (control_.CaretBeyondEnd()) {
        if (before) {
            // Beyond the end Backspace only walks back through the virtual space.
            const int32_t column = control_.CaretColumn() - 1;
            if (column <= Geometry().EndColumn(line))
                MoveCaret(Geometry().VisibleEnd(line), false);
            else
                MoveBeyond(line, column, false);
            return;
        }
        // Delete fills the gap to the caret and joins the next line to it.
        const std::string fill = Fill(Geometry().EndColumn(line), control_.CaretColumn());
        const TOffset end = Geometry().VisibleEnd(line);
        const bool joins = end < Store().TextLength();
        TCustomTessary::UndoGroup group(control_, ugDeleteChar);
        control_.SetSelection(end, end + (joins ? 1 : 0), false);
        control_.ReplaceSel(fill);
        return;
    }
    if (before ? caret == 0 : caret >= Store().TextLength()) return;
    TCustomTessary::UndoGroup group(control_, ugDeleteChar);
    control_.SetSelection(before ? caret : caret + 1, before ? caret - 1 : caret, false);
    control_.ReplaceSel({});
}

void TTessaryCommands::DeleteWord(bool before) {
    if (control_.ReadOnly()) return;
    const TOffset caret = control_.Caret();
    const TOffset target = before ? WordBefore(caret) : WordAfter(caret);
    if (target == caret) return;
    TCustomTessary::UndoGroup group(control_, before ? ugDeletePrevWord : ugDeleteNextWord);
    control_.SetSelection(caret, target, false);
    control_.ReplaceSel({});
}

void TTessaryCommands::DeleteLine() {
    if (control_.ReadOnly() || control_.Anchor() != control_.Caret()) return;
    const TLineIndex line = CaretLine();
    const TOffset start = Store().LineStart(line);
    const TOffset end = start + Store().Node(line).length;
    if (end == start) return;
    TCustomTessary::UndoGroup group(control_, ugReplaceSelection);
    control_.SetSelection(start, end, false);
    control_.ReplaceSel({});
}

bool TTessaryCommands::BlockLines(TLineIndex& first, TLineIndex& last) const {
    const TOffset start = control_.SelStart(), end = control_.SelEnd();
    if (start == end) return false;
    first = Store().LineOfOffset(start);
    while (first > 0 && Store().Node(first).IsContinuation())
        --first;
    last = Store().LineOfOffset(end);
    // A selection that ends at the very start of a line leaves that line out.
    if (last > first && end == Store().LineStart(last) && !Store().Node(last).IsContinuation()) --last;
    return true;
}

void TTessaryCommands::BlockIndent(int count, bool allowTabs) {
    const auto batch = InputBatch();
    TLineIndex first = 0, last = 0;
    if (control_.ReadOnly() || !BlockLines(first, last)) return;
    const int n = count > 0 ? count : indentStep_;
    const bool tabs = allowTabs && (control_.Options() & smoUseTAB);
    const std::string prefix(static_cast<size_t>(n), tabs ? '\t' : ' ');

    std::vector<TOffset> starts;
    for (TLineIndex l = first; l <= last; ++l)
        if (!Store().Node(l).IsContinuation()) starts.push_back(Store().LineStart(l));

    TOffset anchor = control_.Anchor(), caret = control_.Caret();
    TCustomTessary::UndoGroup group(control_, ugIndent);
    TUndoStack* log = Store().UndoLog();
    // Bottom up, so that the offsets still to come stay valid.
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        Store().Insert(*it, prefix);
        if (log) log->RecordInsertion(*it, prefix);
        anchor = AfterInsert(anchor, *it, n);
        caret = AfterInsert(caret, *it, n);
    }
    control_.SetSelection(anchor, caret, true);
}

void TTessaryCommands::BlockUnindent(int count) {
    const auto batch = InputBatch();
    TLineIndex first = 0, last = 0;
    if (control_.ReadOnly() || !BlockLines(first, last)) return;
    const int n = count > 0 ? count : indentStep_;

    struct Removal {
        TOffset at;
        std::string text;
    };
    std::vector<Removal> removals;
    for (TLineIndex l = first; l <= last; ++l) {
        if (Store().Node(l).IsContinuation()) continue;
        const std::string_view text = Store().NodeText(l);
        size_t k = 0;
        while (k < static_cast<size_t>(n) && k < text.size() && IsIndentBlank(text[k]))
            ++k;
        if (k > 0) removals.push_back({Store().LineStart(l), std::string(text.substr(0, k))});
    }
    if (removals.empty()) return;

    TOffset anchor = control_.Anchor(), caret = control_.Caret();
    TCustomTessary::UndoGroup group(control_, ugUnindent);
    TUndoStack* log = Store().UndoLog();
    for (auto it = removals.rbegin(); it != removals.rend(); ++it) {
        const auto size = static_cast<TOffset>(it->text.size());
        Store().Delete(it->at, size);
        if (log) log->RecordRemoval(it->at, it->text);
        anchor = AfterRemove(anchor, it->at, size);
        caret = AfterRemove(caret, it->at, size);
    }
    control_.SetSelection(anchor, caret, true);
}

} // namespace torvane::editor
