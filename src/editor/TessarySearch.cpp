#include "editor/TessarySearch.h"

#include "common/Messages.h"
#include "editor/SearchText.h"
#include "editor/Tessary.h"

#include <algorithm>

namespace torvane::editor {
namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return UpperCase(static_cast<unsigned char>(x)) == UpperCase(static_cast<unsigned char>(y));
    });
}

uint32_t DialogOptionsOf(uint32_t flags) {
    uint32_t options = (flags & kSearchBackwards) ? 0u : uint32_t{frDown};
    if (flags & kSearchMatchCase) options |= frMatchCase;
    if (flags & kSearchWholeWord) options |= frWholeWord;
    return options;
}

// Painting stays off while a run of replacements goes on without asking;
// unlocking repaints everything once.
class PaintLock {
public:
    explicit PaintLock(TCustomTessary& control) : control_(control) {}
    ~PaintLock() { Unlock(); }
    PaintLock(const PaintLock&) = delete;
    PaintLock& operator=(const PaintLock&) = delete;
    void Lock() {
        if (locked_) return;
        control_.Perform(TEM_PAINTLOCK, kSet, 1);
        locked_ = true;
    }
    void Unlock() {
        if (!locked_) return;
        locked_ = false;
        control_.Perform(TEM_PAINTLOCK, kSet, 0);
    }

private:
    TCustomTessary& control_;
    bool locked_ = false;
};

class UndoGroup {
public:
    UndoGroup(TCustomTessary& control, int32_t kind) : control_(control), kind_(kind) {}
    ~UndoGroup() { End(); }
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;
    void Begin() {
        if (open_) return;
        control_.BeginUndoGroup(kind_);
        open_ = true;
    }
    void End() {
        if (!open_) return;
        open_ = false;
        control_.EndUndoGroup(kind_);
    }

private:
    TCustomTessary& control_;
    int32_t kind_;
    bool open_ = false;
};

class BusyCursor {
public:
    explicit BusyCursor(TSearchHost* host) : host_(host) {
        if (host_) host_->SetBusyCursor(true);
    }
    ~BusyCursor() {
        if (host_) host_->SetBusyCursor(false);
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    TSearchHost* host_;
};

} // namespace

TTessarySearch::TTessarySearch(TCustomTessary& control) : control_(control) {
    control_.AddMessageHandler(this);
}

TTessarySearch::~TTessarySearch() {
    control_.RemoveMessageHandler(this);
}

bool TTessarySearch::HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, intptr_t& result) {
    switch (msg) {
    case TEM_SEARCH:
        result = SearchMessage(static_cast<uint32_t>(wParam), reinterpret_cast<const char*>(lParam));
        return true;
    case TEM_REPLACEDIALOG:
        ReplaceDialogMessage(static_cast<uint32_t>(wParam));
        result = 1;
        return true;
    default:
        return false;
    }
}

TSearchEngine& TTessarySearch::Engine() {
    if (!engine_ || engineStore_ != control_.SharedStore()) {
        const TOffset lastFound = engine_ ? engine_->LastFound() : -1;
        engineStore_ = control_.SharedStore();
        engine_ = std::make_unique<TSearchEngine>(*engineStore_);
        engine_->SetLastFound(lastFound);
    }
    // The tests may have been replaced since the last search; the engine
    // tabulates them, so a search never calls them per character. A fresh
    // engine starts with the default tests, which need no refresh.
    const TCustomTessary& control = control_;
    const bool custom = control.fn_CharStartsWord || control.fn_CharIsInWord;
    if (custom || customWordTests_) {
        engine_->SetWordTests([&control](unsigned char c) { return control.StartsWord(c); },
                              [&control](unsigned char c) { return control.InWord(c); });
        customWordTests_ = custom;
    }
    return *engine_;
}

uint32_t TTessarySearch::FlagsOf(const TFindReplaceDialog& dialog) const {
    uint32_t flags = 0;
    if (!(dialog.options & frDown)) flags |= kSearchBackwards;
    if (dialog.options & frMatchCase) flags |= kSearchMatchCase;
    if (dialog.options & frWholeWord) flags |= kSearchWholeWord;
    if (regExpMode_) flags |= kSearchRegExp;
    return flags;
}

// ---- reporting -------------------------------------------------------------------

void TTessarySearch::ReportNotFound(const std::string& text) {
    if (OnSearchFail)
        OnSearchFail(control_, text);
    else if (host_)
        host_->ShowMessage(TSearchEngine::NotFoundMessage(text), TSearchMessageKind::Information);
}

void TTessarySearch::ReportPatternError() {
    if (host_) host_->ShowMessage(Engine().PatternError(), TSearchMessageKind::Error);
}

void TTessarySearch::SelectMatch(const TSearchResult& match, bool repaint) {
    control_.SetSelection(match.start, match.start + match.length, repaint);
}

// ---- searching ---------------------------------------------------------------------

TSearchResult TTessarySearch::SearchFromSelection(std::string_view text, uint32_t flags) {
    TSearchEngine& engine = Engine();
    const TOffset selStart = control_.SelStart(), selEnd = control_.SelEnd();
    TSearchResult result;
    if (flags & kSearchBackwards) {
        // Only matches that start before the selection: a selected match is
        // not found again, and nothing lies before offset 0.
        if (selStart > 0) result = engine.Find(text, flags, selStart - 1);
    } else if (selEnd < control_.Store().TextLength()) {
        result = engine.Find(text, flags, selEnd);
    }
    if (result.Found()) engine.SetLastFound(result.start);
    return result;
}

intptr_t TTessarySearch::SearchMessage(uint32_t flags, const char* text) {
    TCustomTessary::Batch batch(control_);
    if (regExpMode_) flags |= kSearchRegExp;
    const std::string_view searchText = text ? std::string_view(text) : std::string_view();
    if (!(flags & kSearchDirect)) {
        TFindReplaceDialog preset;
        preset.findText = searchText;
        if (control_.SelStart() != control_.SelEnd() && !regExpMode_)
            preset.findText = control_.SelStoredText();
        preset.options = DialogOptionsOf(flags);
        if (host_) host_->OpenFindDialog(preset);
        return -1;
    }
    const TSearchResult result = SearchFromSelection(searchText, flags);
    if (result.status == TSearchStatus::PatternError) {
        ReportPatternError();
        return -1;
    }
    if (!result.Found()) return -1;
    // A plain match is as long as its text, which the caller knows; only a
    // pattern match needs the control to tell its extent.
    if (flags & kSearchRegExp) SelectMatch(result, true);
    return result.start;
}

bool TTessarySearch::FindText(std::string_view text, TOffset* position, uint32_t flags) {
    TCustomTessary::Batch batch(control_);
    lastText_ = text;
    lastFlags_ = flags;
    const intptr_t start = SearchMessage(flags, lastText_.c_str());
    if (start < 0) return false;
    if (position) *position = static_cast<TOffset>(start);
    return true;
}

bool TTessarySearch::FindAgain(TOffset* position) {
    TCustomTessary::Batch batch(control_);
    if (lastText_.empty()) return false;
    const uint32_t flags = lastFlags_ | (regExpMode_ ? uint32_t{kSearchRegExp} : 0u);
    const TOffset anchor = control_.Anchor(), caret = control_.Caret();
    const bool collapse = !(flags & kSearchBackwards) && anchor != caret &&
                          EqualIgnoringCase(control_.SelStoredText(), lastText_);
    // Collapsing to start + 1 lets a match that overlaps this one be found.
    if (collapse) control_.SetSelection(control_.SelStart() + 1, control_.SelStart() + 1, false);
    const TSearchResult result = SearchFromSelection(lastText_, flags);
    if (!result.Found()) {
        // The user's selection is not lost to a search that found nothing.
        if (collapse) control_.SetSelection(anchor, caret, false);
        if (result.status == TSearchStatus::PatternError)
            ReportPatternError();
        else
            ReportNotFound(lastText_);
        return false;
    }
    if (flags & kSearchDirect) SelectMatch(result, true);
    if (position) *position = result.start;
    return true;
}

TTokenText TTessarySearch::GetTokenAt(TOffset offset) {
    return Engine().GetTokenAt(offset);
}

bool TTessarySearch::FindNext(const TFindReplaceDialog& dialog) {
    TCustomTessary::Batch batch(control_);
    const uint32_t flags = FlagsOf(dialog);
    lastText_ = dialog.findText;
    lastFlags_ = flags | kSearchDirect;
    const TSearchResult result =
        Engine().FindNext(dialog.findText, flags, control_.Anchor(), control_.Caret());
    if (result.status == TSearchStatus::PatternError) {
        ReportPatternError();
        return false;
    }
    if (!result.Found()) {
        ReportNotFound(dialog.findText);
        return false;
    }
    SelectMatch(result, true);
    return true;
}

// ---- replacing -----------------------------------------------------------------------

void TTessarySearch::ReplaceDialogMessage(uint32_t flags) {
    if (regExpMode_) flags |= kSearchRegExp;
    TFindReplaceDialog preset;
    preset.findText = lastText_;
    if (control_.SelStart() != control_.SelEnd() && !regExpMode_) preset.findText = control_.SelStoredText();
    preset.replaceText = lastReplacement_;
    preset.options = DialogOptionsOf(flags);
    if (host_) host_->OpenReplaceDialog(preset);
}

void TTessarySearch::Replace(const TFindReplaceDialog& dialog) {
    TCustomTessary::Batch batch(control_);
    lastReplacement_ = dialog.replaceText;
    if (dialog.options & frFindNext)
        FindNext(dialog);
    else if (dialog.options & frReplace)
        ReplaceLoop(dialog);
    else if (dialog.options & frReplaceAll)
        ReplaceAll(dialog.findText, dialog.replaceText, FlagsOf(dialog));
}

void TTessarySearch::ReplaceSelection(std::string_view text) {
    UndoGroup group(control_, ugReplace);
    group.Begin();
    control_.ReplaceSel(text);
}

void TTessarySearch::ReplaceLoop(const TFindReplaceDialog& dialog) {
    const uint32_t flags = FlagsOf(dialog);
    const bool backwards = (flags & kSearchBackwards) != 0;
    const std::string& text = dialog.findText;
    lastText_ = text;
    lastFlags_ = flags | kSearchDirect;
    TSearchEngine& engine = Engine();
    const std::string question =
        FormatStr<msg::SSearchReplaceConfirm>(text.c_str(), dialog.replaceText.c_str());

    // Forwards the first pass may find a match right at the caret; every
    // later pass starts past the previous match or replacement, so the loop
    // always moves on and never meets its own replacements.
    TOffset from = control_.Caret();
    bool confirm = true;
    PaintLock paintLock(control_);
    for (;;) {
        TSearchResult match;
        if (backwards) {
            if (from > 0) match = engine.Find(text, flags, from - 1);
        } else if (from < control_.Store().TextLength()) {
            match = engine.Find(text, flags, from);
        }
        if (match.status == TSearchStatus::PatternError) {
            ReportPatternError();
            break;
        }
        if (!match.Found()) {
            if (confirm) ReportNotFound(text);
            break;
        }
        engine.SetLastFound(match.start);
        // Expanded now: the next search replaces the match's elements.
        const std::string replacement = engine.ReplacementFor(dialog.replaceText, flags);
        SelectMatch(match, confirm);
        TReplaceAnswer answer = TReplaceAnswer::Yes;
        if (confirm) answer = host_ ? host_->ConfirmReplace(question) : TReplaceAnswer::Cancel;
        if (answer == TReplaceAnswer::Cancel) break;
        if (answer == TReplaceAnswer::No) {
            from = backwards ? match.start : match.start + 1;
            continue;
        }
        if (answer == TReplaceAnswer::All) {
            confirm = false;
            paintLock.Lock();
        }
        ReplaceSelection(replacement);
        from = backwards ? match.start : control_.Caret();
        engine.SetLastFound(control_.Caret());
    }
}

size_t TTessarySearch::ReplaceAll(std::string_view text, std::string_view replacement, uint32_t flags) {
    TCustomTessary::Batch batch(control_);
    if (regExpMode_) flags |= kSearchRegExp;
    lastText_ = text;
    lastFlags_ = (flags & ~static_cast<uint32_t>(kSearchBackwards)) | kSearchDirect;
    lastReplacement_ = replacement;
    BusyCursor busy(host_);
    PaintLock paintLock(control_);
    UndoGroup group(control_, ugReplace);
    // Matches are collected before anything is replaced; each is then
    // selected at its shifted place and replaced without repaint.
    auto replace = [&](TOffset start, TOffset length, const std::string& with) {
        paintLock.Lock();
        group.Begin();
        control_.SetSelection(start, start + length, false);
        control_.ReplaceSel(with);
        return control_.Caret() - start;
    };
    const TReplaceAllResult result =
        Engine().ReplaceAll(text, replacement, flags, control_.SelStart(), replace);
    group.End();
    if (result.count > 0) control_.SetSelection(result.lastStart, result.lastStart, false);
    paintLock.Unlock();
    if (result.status == TSearchStatus::PatternError)
        ReportPatternError();
    else if (result.count == 0)
        ReportNotFound(std::string(text));
    return result.count;
}

} // namespace torvane::editor
