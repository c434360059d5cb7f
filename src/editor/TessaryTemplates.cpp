#include "editor/TessaryTemplates.h"

#include "editor/TessaryCommands.h"
#include "editor/UndoStack.h"
#include "highlight/CharCursor.h"
#include "highlight/Settings.h"

#include <algorithm>

namespace torvane::editor {
namespace {

// Opens an undo group unless one is open already (an auto-correction that
// shares its group with the typed character), and closes only its own.
class TemplateGroup {
public:
    explicit TemplateGroup(TCustomTessary& control) : control_(control) {
        const TUndoStack* log = control_.Store().UndoLog();
        own_ = log && log->OpenGroupKind() == 0;
        if (own_) control_.BeginUndoGroup(ugTemplate);
    }
    ~TemplateGroup() {
        if (!own_) return;
        try {
            control_.EndUndoGroup(ugTemplate);
        } catch (...) {
            // Whatever failed has cleared the log already.
        }
    }
    TemplateGroup(const TemplateGroup&) = delete;
    TemplateGroup& operator=(const TemplateGroup&) = delete;

private:
    TCustomTessary& control_;
    bool own_ = false;
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

const std::vector<TMacro>& NoMacros() {
    static const std::vector<TMacro> none;
    return none;
}

} // namespace

bool KeyTypesCharacter(TShortCut key) noexcept {
    if (key & (kscCtrl | kscAlt)) return false;
    const uint8_t k = KeyOf(key);
    return k == vk::Space || k == vk::Return || k == vk::Tab || (k >= '0' && k <= '9') ||
           (k >= 'A' && k <= 'Z') || (k >= 0x60 && k <= 0x6F) || (k >= 0xBA && k <= 0xDF);
}

TTE_Settings* TTessaryTemplates::Settings() const {
    return commands_.Settings();
}

std::string TTessaryTemplates::TextBeforeCaret(TOffset& lineStart) const {
    const TTextStore& store = commands_.Control().Store();
    const TOffset caret = commands_.Control().Caret();
    lineStart = store.LineStart(store.LineOfOffset(caret));
    return store.GetRange(lineStart, caret);
}

TOffset TTessaryTemplates::WordStartBefore(TOffset caret) const {
    TOffset lineStart = 0;
    const std::string before = TextBeforeCaret(lineStart);
    size_t i = before.size();
    while (i > 0 && commands_.IsWordCharacter(static_cast<uint8_t>(before[i - 1])))
        --i;
    return caret - static_cast<TOffset>(before.size() - i);
}

bool TTessaryTemplates::TemplateKey(TShortCut key) {
    TTE_Settings* settings = Settings();
    if (!settings || pickOpen_) return false;
    TCodeTemplates& templates = settings->CodeTemplates();
    TCustomTessary& control = commands_.Control();
    if (!templates.IsTriggerKey(key) || commands_.Control().ReadOnly() || control.Store().TextLength() == 0)
        return false;

    const TOffset caret = control.Caret();
    TOffset lineStart = 0;
    const std::string before = TextBeforeCaret(lineStart);
    TStringCursor cursor(before, static_cast<int64_t>(before.size()));
    int32_t length = 0;
    if (const TMacro* macro = templates.MatchBefore(cursor, length)) {
        const TMacro chosen = *macro; // the event handler may change the tables
        ExpandTemplate(caret - length, caret, chosen);
        return templates.reportResult;
    }
    if (!templates.showList || templates.Macros().empty()) return false;
    OpenPickList(WordStartBefore(caret), caret);
    return true;
}

void TTessaryTemplates::AutoReplaceKey(TShortCut key) {
    pending_.reset();
    TTE_Settings* settings = Settings();
    if (!settings) return;
    TAutoReplace& table = settings->AutoReplace();
    const TCustomTessary& control = commands_.Control();
    const TTextStore& store = control.Store();
    if (!table.IsTriggerKey(key) || commands_.Control().ReadOnly() || store.TextLength() == 0) return;
    if (control.Anchor() != control.Caret()) return;

    const TOffset caret = control.Caret();
    TOffset lineStart = 0;
    const std::string before = TextBeforeCaret(lineStart);
    TStringCursor cursor(before, static_cast<int64_t>(before.size()));
    int32_t length = 0;
    const TMacro* macro = table.MatchBefore(cursor, length);
    if (!macro) return;
    // Only a word standing alone: "mvo" in "xmvo" or "mvox" is no slip.
    const size_t wordAt = before.size() - static_cast<size_t>(length);
    if (wordAt > 0 && commands_.IsWordCharacter(static_cast<uint8_t>(before[wordAt - 1]))) return;
    const std::string after = store.GetRange(caret, std::min(caret + 1, store.TextLength()));
    if (!after.empty() && commands_.IsWordCharacter(static_cast<uint8_t>(after[0]))) return;

    const std::string word = before.substr(wordAt);
    std::string with = macro->expansion;
    bool canReplace = true;
    if (OnAutoReplace) OnAutoReplace(word, with, canReplace);
    if (!canReplace) return;
    pending_ = TCorrection{caret - length, caret, std::move(with)};
    if (!KeyTypesCharacter(key)) FlushPending();
}

void TTessaryTemplates::FlushPending() {
    if (std::optional<TCorrection> correction = TakePending()) {
        if (TTE_Settings* settings = Settings())
            Expand(correction->start, correction->end, correction->text, settings->AutoReplace());
    }
}

std::optional<TTessaryTemplates::TCorrection> TTessaryTemplates::TakePending() {
    std::optional<TCorrection> taken = std::move(pending_);
    pending_.reset();
    // Only while the caret still stands where the key found the word.
    const TCustomTessary& control = commands_.Control();
    if (taken && (control.Caret() != taken->end || control.Anchor() != taken->end)) taken.reset();
    return taken;
}

void TTessaryTemplates::Expand(TOffset start, TOffset end, const std::string& text,
                               const TMacroKeywords& table) {
    TCustomTessary& control = commands_.Control();
    TemplateGroup group(control);
    // The caret at the start gives the column the continuation lines line up with.
    control.SetSelection(end, start, false);
    const int32_t column = control.CaretColumn();

    const std::string normal = TMacroKeywords::NormaliseLineBreaks(text);
    std::string out;
    out.reserve(normal.size());
    for (char c : normal) {
        out.push_back(c);
        if (c == '\r' && table.indentLines) out.append(static_cast<size_t>(column), ' ');
    }
    size_t bar = std::string::npos;
    if (table.caretMarker) {
        bar = out.find('|');
        if (bar != std::string::npos) out.erase(bar, 1);
    }
    control.SetSelection(start, end, false);
    control.ReplaceSel(out);
    if (bar != std::string::npos) {
        const TOffset at = start + static_cast<TOffset>(bar);
        control.SetSelection(at, at, true);
    }
}

void TTessaryTemplates::ExpandTemplate(TOffset start, TOffset end, const TMacro& macro) {
    std::string replacement = macro.expansion;
    if (OnTemplateEvent) OnTemplateEvent(macro.name, replacement);
    TTE_Settings* settings = Settings();
    if (!settings) return;
    Expand(start, end, replacement, settings->CodeTemplates());
}

// ---- the pick list ---------------------------------------------------------------

const std::vector<TMacro>& TTessaryTemplates::PickItems() const {
    const TTE_Settings* settings = Settings();
    return settings ? settings->CodeTemplates().Macros() : NoMacros();
}

void TTessaryTemplates::OpenPickList(TOffset wordStart, TOffset wordEnd) {
    TCustomTessary& control = commands_.Control();
    pickStart_ = wordStart;
    pickEnd_ = wordEnd;
    pickWord_ = Lower(control.Store().GetRange(wordStart, wordEnd));
    typeAhead_.clear();
    const std::vector<TMacro>& items = PickItems();
    pickSelected_ = 0;
    if (!pickWord_.empty()) {
        auto hit = std::find_if(items.begin(), items.end(), [&](const TMacro& m) {
            return Lower(m.name).find(pickWord_) != std::string::npos;
        });
        if (hit != items.end()) pickSelected_ = static_cast<int>(hit - items.begin());
    }
    // The word stays visibly selected while the list has the focus.
    savedHideSelection_ = commands_.Control().HideSelection();
    commands_.Control().SetHideSelection(false);
    control.SetSelection(wordStart, wordEnd, true);
    pickOpen_ = true;
    if (OnPickListOpened) OnPickListOpened();
}

void TTessaryTemplates::ClosePickList() {
    if (!pickOpen_) return;
    pickOpen_ = false;
    commands_.Control().SetHideSelection(savedHideSelection_);
    if (OnPickListClosed) OnPickListClosed();
}

void TTessaryTemplates::PickSelect(int index) {
    const int count = static_cast<int>(PickItems().size());
    if (index >= 0 && index < count) pickSelected_ = index;
}

bool TTessaryTemplates::PickTypeAhead(char c) {
    const std::string wanted = Lower(typeAhead_ + c);
    const std::vector<TMacro>& items = PickItems();
    auto hit = std::find_if(items.begin(), items.end(),
                            [&](const TMacro& m) { return Lower(m.name).rfind(wanted, 0) == 0; });
    if (hit == items.end()) return false;
    typeAhead_ += c;
    pickSelected_ = static_cast<int>(hit - items.begin());
    return true;
}

void TTessaryTemplates::PickChoose() {
    if (!pickOpen_) return;
    TCustomTessary::Batch batch(commands_.Control());
    const std::vector<TMacro>& items = PickItems();
    if (pickSelected_ < 0 || pickSelected_ >= static_cast<int>(items.size())) {
        PickCancel();
        return;
    }
    const TMacro chosen = items[static_cast<size_t>(pickSelected_)];
    ClosePickList();
    // A word that is part of the name was the start of it: it goes. Any
    // other word stays, and the template follows it.
    const bool replaceWord = Lower(chosen.name).find(pickWord_) != std::string::npos;
    ExpandTemplate(replaceWord ? pickStart_ : pickEnd_, pickEnd_, chosen);
}

void TTessaryTemplates::PickCancel() {
    if (!pickOpen_) return;
    ClosePickList();
    TCustomTessary& control = commands_.Control();
    const TOffset end = control.SelEnd();
    control.SetSelection(end, end, true);
}

} // namespace torvane::editor
