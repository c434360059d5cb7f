#pragma once
// Macro tables: the editor's code templates and auto-replace table. Each
// macro is a word with a description and an expansion text. The words are
// kept in a sorted list and, reversed, in a keyword trie (states {0}, follow
// group "every character"), so the word that ends at the caret is found by
// matching backwards from the caret.
//
// Macro stream form: i32 n; n times: u8-length name, u8-length description,
// i32-length expansion; then the trigger shortcut as text in i32-length form
// ("Ctrl+J"); then i32 trigger-enabled flag (0 or 1). The auto-replace table
// appends its trigger text in u8-length form. Reading clears the table and
// adds every macro case-insensitively.
//
// Trigger text (auto-replace): each character stands for the key that types
// it on a US layout; "\n" and "\r" mean Return, "\s" Space, "\t" Tab,
// "\{name}" a key by its scheme key name, "\c" the key of c without
// modifiers. A key matches when its code (key + 256 Shift + 512 Ctrl + 2048
// Alt) is in the parsed set.

#include "highlight/Keywords.h"
#include "highlight/ShortCut.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct TMacro {
    std::string name; // lower case unless added case-sensitively
    std::string description;
    std::string expansion; // every line break is a single 13
};

class TMacroKeywords : public TKeywords {
public:
    static constexpr TShortCut kDefaultTrigger = ShortCut('J', kscCtrl);

    TMacroKeywords();

    // Adds or replaces the macro of that word (folded to lower case unless
    // caseFlag is 1). Names longer than 255 bytes raise EKeywords (the
    // stream form cannot hold them); descriptions are cut to 255 bytes.
    void AddMacro(std::string_view word, std::string_view description, uint8_t caseFlag,
                  std::string_view expansion);
    bool RemoveMacro(std::string_view word);
    // The macro of exactly that word (or its lower case form); null if none.
    const TMacro* FindMacro(std::string_view word) const;
    const std::vector<TMacro>& Macros() const noexcept { return macros_; }
    void ClearMacros();

    // The macro whose word ends just before the cursor; on success the cursor
    // stands on the word's first character and length is its length.
    const TMacro* MatchBefore(TCharCursor& cursor, int32_t& length) const;

    TShortCut TriggerKey() const noexcept { return trigger_; }
    void SetTriggerKey(TShortCut key) noexcept { trigger_ = key; }
    // Whether the key (with its modifier bits) fires this table.
    virtual bool IsTriggerKey(TShortCut key) const noexcept { return enabled && key == trigger_; }

    bool enabled = true;      // the trigger is active
    bool recreateList = true; // rebuild the pick list each time it opens
    bool reportResult = true; // a direct expansion consumes the trigger key
    bool indentLines = true;  // continuation lines take the caret's column
    bool caretMarker = true;  // the first "|" of an expansion marks the caret
    bool showList = true;     // no match: open the pick list

    static std::string NormaliseLineBreaks(std::string_view text);

    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const noexcept override { return "TMacroKeywords"; }

protected:
    std::unique_ptr<TTE_Base> NewInstance() const override { return std::make_unique<TMacroKeywords>(); }
    void WriteMacros(TStream& stream) const;
    void ReadMacros(TStream& stream);

private:
    // Entry values are indices into macros_, so the trie is rebuilt whenever
    // the sorted list changes.
    void RebuildTrie();

    std::vector<TMacro> macros_; // sorted by name, case ignored
    TShortCut trigger_ = kDefaultTrigger;
};

class TCodeTemplates final : public TMacroKeywords {
public:
    const char* ClassName() const noexcept override { return "TCodeTemplates"; }

protected:
    std::unique_ptr<TTE_Base> NewInstance() const override { return std::make_unique<TCodeTemplates>(); }
};

class TAutoReplace final : public TMacroKeywords {
public:
    static constexpr const char* kDefaultTriggerText = ";,:.=()[]\\{Return}\\{Tab}\\{Space}";

    TAutoReplace();

    // Parses and stores the trigger text; a "\{" without its "}" or with an
    // unknown key name raises ETessary "Bad key specifier" and changes nothing.
    void SetTriggerText(std::string_view text);
    const std::string& TriggerText() const noexcept { return triggerText_; }
    const std::set<int>& TriggerKeys() const noexcept { return triggerKeys_; }
    bool IsTriggerKey(TShortCut key) const noexcept override;

    // Empty table, default trigger text, shortcut and flags.
    void Reset();

    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const noexcept override { return "TAutoReplace"; }

protected:
    std::unique_ptr<TTE_Base> NewInstance() const override { return std::make_unique<TAutoReplace>(); }

private:
    std::string triggerText_;
    std::set<int> triggerKeys_;
};

// The trigger-key codes of a trigger text (see the header comment).
std::set<int> ParseTriggerText(std::string_view text);

} // namespace torvane
