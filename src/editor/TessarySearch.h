#pragma once
// TTessarySearch: the editor control's side of find and replace. Whoever
// shows the control owns one beside it; it registers with the control for
// its two search messages;
// the application's find window calls FindText, FindAgain and GetTokenAt,
// and the control's own find and replace dialogs (shown by the window
// system through TSearchHost) call FindNext and Replace.
//
// The searching itself is TSearchEngine's (Search.h); this object adds what
// a control does around it: the remembered search, where a search starts
// from the selection, selecting matches, the replace loops inside undo
// group 23, and reporting failures.
//
// Where searches start. Forwards a search finds the first match at or after
// its start; backwards the nearest match that starts before it. The search
// message starts at the selection's end (forwards) or start (backwards), so
// repeating a backwards search steps over the match that is selected. A
// forwards search from the text end or a backwards one from offset 0 fails
// at once.
//
// Flags (TSearchFlag): 0x08 search at once and select, 0x10 match case,
// 0x20 regular expression, 0x40 whole words, 0x80 backwards.
//
// Whole words: a match counts only when the characters around it are
// neither word characters nor word starts by the control's own word tests,
// the ones its word moves use.
//
// Failures. A search that finds nothing raises OnSearchFail(control, text);
// without a handler the host shows "Search string "text" not found.". A bad
// pattern shows the engine's message, the pattern and a caret under the
// failing position, and changes nothing.
//
// Each operation runs as one batch of the control: a search, a replace
// loop or a replace-all is reported once, when it is over.

#include "editor/Search.h"
#include "editor/Tessary.h"
#include "editor/TextStore.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace torvane::editor {

// Options of a standard find or replace dialog.
enum TFindDialogOption : uint32_t {
    frDown = 0x1, // forwards
    frWholeWord = 0x2,
    frMatchCase = 0x4,
    frFindNext = 0x8,
    frReplace = 0x10,
    frReplaceAll = 0x20,
};

// What a standard find or replace dialog holds when it calls the control.
struct TFindReplaceDialog {
    std::string findText;
    std::string replaceText;
    uint32_t options = frDown;
};

enum class TReplaceAnswer { Yes, No, Cancel, All };
enum class TSearchMessageKind { Information, Error };

// What the search needs of the window system. The defaults show nothing and
// answer Cancel, so that nothing is replaced that no one confirmed.
class TSearchHost {
public:
    virtual ~TSearchHost() = default;
    virtual void ShowMessage(const std::string& /*text*/, TSearchMessageKind /*kind*/) {}
    // "Replace this occurence of 'x' with 'y' ?" with Yes, No, Cancel and All.
    virtual TReplaceAnswer ConfirmReplace(const std::string& /*question*/) { return TReplaceAnswer::Cancel; }
    // The control's own dialogs; their actions call FindNext and Replace.
    virtual void OpenFindDialog(const TFindReplaceDialog& /*preset*/) {}
    virtual void OpenReplaceDialog(const TFindReplaceDialog& /*preset*/) {}
    // The hourglass while replace-all runs.
    virtual void SetBusyCursor(bool /*busy*/) {}
};

class TTessarySearch final : private TTessaryMessageHandler {
public:
    explicit TTessarySearch(TCustomTessary& control);
    ~TTessarySearch();
    TTessarySearch(const TTessarySearch&) = delete;
    TTessarySearch& operator=(const TTessarySearch&) = delete;

    void SetHost(TSearchHost* host) noexcept { host_ = host; }
    TSearchHost* Host() const noexcept { return host_; }

    // Search texts are patterns when set (the dialogs have no such option).
    bool RegExpMode() const noexcept { return regExpMode_; }
    void SetRegExpMode(bool on) noexcept { regExpMode_ = on; }

    // OnSearchFail(Sender, SearchString); unset: the not-found message.
    std::function<void(TCustomTessary& sender, const std::string& text)> OnSearchFail;

    // ---- the find window's operations -------------------------------------------
    // Remembers text and flags for FindAgain and sends the search message;
    // true with the match start in *position. Raises no failure event.
    bool FindText(std::string_view text, TOffset* position, uint32_t flags);
    // Repeats the remembered search; false without one. A forwards search
    // first moves past a selection that equals the remembered text (without
    // regard to case). Nothing found raises OnSearchFail; with flag 0x08 the
    // match is selected.
    bool FindAgain(TOffset* position);
    bool HasLastSearch() const noexcept { return !lastText_.empty(); }
    const std::string& LastText() const noexcept { return lastText_; }
    uint32_t LastFlags() const noexcept { return lastFlags_; }
    // The highlighted token around offset (the default search text).
    TTokenText GetTokenAt(TOffset offset);

    // ---- messages 0x0C0B and 0x0C0C --------------------------------------------
    // With flag 0x08: searches at once and returns the match start or -1
    // (a pattern match is also selected). Without it: opens the find dialog
    // preset with text, or with the selection when there is one and pattern
    // mode is off; returns -1.
    intptr_t SearchMessage(uint32_t flags, const char* text);
    // Opens the replace dialog preset with the remembered texts and flags.
    void ReplaceDialogMessage(uint32_t flags);

    // ---- the standard dialogs' operations ----------------------------------------
    // Searches once with the dialog's text and options and selects the match.
    bool FindNext(const TFindReplaceDialog& dialog);
    // Find next, the confirming replace loop, or replace-all, by the
    // dialog's options (in that order of precedence).
    void Replace(const TFindReplaceDialog& dialog);
    // Replaces every match from the selection's start to the end of the text
    // in one undo group 23; matches are collected first, so replacements are
    // never searched again. Returns the number of replacements.
    size_t ReplaceAll(std::string_view text, std::string_view replacement, uint32_t flags);

private:
    bool HandleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;
    // The engine over the shown store, with the control's current word
    // tests (TTessaryCommands' fn_CharStartsWord and fn_CharIsInWord).
    TSearchEngine& Engine();
    uint32_t FlagsOf(const TFindReplaceDialog& dialog) const;
    // One search from the selection as the search message runs it.
    TSearchResult SearchFromSelection(std::string_view text, uint32_t flags);
    void SelectMatch(const TSearchResult& match, bool repaint);
    void ReportNotFound(const std::string& text);
    void ReportPatternError();
    void ReplaceLoop(const TFindReplaceDialog& dialog);
    // Replaces the selection inside undo group 23.
    void ReplaceSelection(std::string_view text);

    TCustomTessary& control_;
    TSearchHost* host_ = nullptr;
    // The store the engine reads; the engine is rebuilt when the control
    // shows another one.
    std::shared_ptr<TTextStore> engineStore_;
    std::unique_ptr<TSearchEngine> engine_;
    bool customWordTests_ = false; // the engine holds tests other than the defaults
    bool regExpMode_ = false;
    std::string lastText_;
    uint32_t lastFlags_ = 0;
    std::string lastReplacement_;
};

} // namespace torvane::editor
