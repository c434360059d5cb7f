#pragma once
// TTessaryTemplates: code templates and auto-correct in an editor control.
//
// Before the key map sees a key, the control offers it here: first to the
// code templates (the template hot key expands the template whose name ends
// at the caret, or opens the pick list), then to the auto-correct table (a
// trigger key replaces the word before the caret when it stands alone). The
// tables belong to the scheme's settings; the control reaches them through
// TTessaryCommands::Settings() at every key, because loading a scheme
// replaces them.
//
// Undo. An expansion is one group (ugTemplate). An auto-correction that is
// fired by a key that types a character (space, punctuation, RETURN, TAB)
// waits for that character and goes into the same group with it, so one
// undo gives back the word exactly as it was typed.
//
// The pick list. Its model lives here: the templates, the selected item, the
// type-ahead text, choosing and cancelling. The window shows it when
// OnPickListOpened fires and takes it down at OnPickListClosed.

#include "editor/LineNode.h"
#include "highlight/MacroKeywords.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace torvane {
class TTE_Settings;
}

namespace torvane::editor {

class TTessaryCommands;

class TTessaryTemplates {
public:
    explicit TTessaryTemplates(TTessaryCommands& commands) noexcept : commands_(commands) {}
    TTessaryTemplates(const TTessaryTemplates&) = delete;
    TTessaryTemplates& operator=(const TTessaryTemplates&) = delete;

    // ---- key-down, before the key map ----------------------------------------
    // The template hot key: expands or opens the pick list. True when the
    // key is used up.
    bool TemplateKey(TShortCut key);
    // An auto-correct trigger key. A key that types a character leaves the
    // correction pending for that character (TakePending); any other key
    // corrects at once.
    void AutoReplaceKey(TShortCut key);
    // The key map used the key: no character follows, correct now.
    void FlushPending();
    // Called with every typed character: the pending correction to make in
    // the same undo group, if the key just before asked for one.
    struct TCorrection {
        TOffset start = 0, end = 0;
        std::string text;
    };
    std::optional<TCorrection> TakePending();
    // Anything but the typed character of the key drops a pending correction.
    void DropPending() noexcept { pending_.reset(); }

    // Replaces [start, end) by the expansion text: continuation lines are
    // indented to the column of start (with the table's indent flag), the
    // first "|" is taken out and marks the caret (with its marker flag). One
    // undo group unless the caller has one open.
    void Expand(TOffset start, TOffset end, const std::string& text, const TMacroKeywords& table);

    // ---- the pick list ------------------------------------------------------------
    bool PickListOpen() const noexcept { return pickOpen_; }
    const std::vector<TMacro>& PickItems() const;
    int PickSelected() const noexcept { return pickSelected_; }
    void PickSelect(int index);
    // The word before the caret when the list opened (lower case).
    const std::string& PickWord() const noexcept { return pickWord_; }
    const std::string& TypeAhead() const noexcept { return typeAhead_; }
    // Adds to the type-ahead text and selects the first template whose name
    // starts with it; false (selection unchanged) when none does.
    bool PickTypeAhead(char c);
    // Expands the selected template in place of the word, then closes.
    void PickChoose();
    // Closes without expanding; the selection collapses to its end.
    void PickCancel();
    // Takes the list down and changes nothing else (the control is going).
    void PickDismiss() { ClosePickList(); }

    // ---- events ---------------------------------------------------------------
    // A template is expanded: its name and its text, which the handler may change.
    std::function<void(const std::string& templateName, std::string& replacement)> OnTemplateEvent;
    // A word is about to be corrected; setting canReplace to false vetoes it.
    std::function<void(const std::string& replaceItem, std::string& replaceWith, bool& canReplace)>
        OnAutoReplace;
    std::function<void()> OnPickListOpened;
    std::function<void()> OnPickListClosed;

private:
    TTE_Settings* Settings() const;
    // The text of the caret's line up to the caret, and where that line starts.
    std::string TextBeforeCaret(TOffset& lineStart) const;
    // Start of the run of word characters that ends at the caret.
    TOffset WordStartBefore(TOffset caret) const;
    void OpenPickList(TOffset wordStart, TOffset wordEnd);
    void ClosePickList();
    void ExpandTemplate(TOffset start, TOffset end, const TMacro& macro);

    TTessaryCommands& commands_;
    std::optional<TCorrection> pending_;

    bool pickOpen_ = false;
    int pickSelected_ = -1;
    std::string pickWord_;
    std::string typeAhead_;
    TOffset pickStart_ = 0, pickEnd_ = 0;
    bool savedHideSelection_ = true;
};

// Whether the key, pressed without Ctrl or Alt, types a character, so that an
// auto-correction can wait for it.
bool KeyTypesCharacter(TShortCut key) noexcept;

} // namespace torvane::editor
