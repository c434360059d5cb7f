#pragma once
// TSearchEngine: find and replace over a text store, without any window. The
// editor control keeps one per control and calls it for its search message
// (0x0C0B), its find-next and its replace dialog; the control itself
// selects the matches, asks for confirmation, brackets replacements in undo
// group 23 and reports failures.
//
// Plain search texts use a skip-table search over the store's characters,
// comparing upper-case forms when match case is off. With whole words, a
// match counts only when neither the character before it nor the one after
// it is a word character or a word start (the control's word tests).
// Regular-expression search texts are patterns for TREParser, run over a
// TEdStream; a match of length 0 does not count, and the search goes on past
// it. Whole words and match case apply to plain texts only.
//
// Directions: forwards a search finds the leftmost match that starts at or
// after its start offset; backwards the match with the greatest start at or
// before it.

#include "editor/SearchText.h"
#include "editor/TextStore.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {
class TREParser;
}

namespace torvane::editor {

class TEdStream;
class TEdStreamSource;

// Flag bits of the search operations, as the control's messages carry them.
enum TSearchFlag : uint32_t {
    kSearchDirect = 0x08, // the control searches at once and selects the match
    kSearchMatchCase = 0x10,
    kSearchRegExp = 0x20,
    kSearchWholeWord = 0x40,
    kSearchBackwards = 0x80,
};

enum class TSearchStatus : uint8_t { Found, NotFound, PatternError };

struct TSearchResult {
    TSearchStatus status = TSearchStatus::NotFound;
    TOffset start = -1;
    TOffset length = 0;
    bool Found() const noexcept { return status == TSearchStatus::Found; }
};

// One match of a replace-all, with the text that replaces it.
struct TReplacement {
    TOffset start;
    TOffset length;
    std::string text;
};

struct TReplaceAllResult {
    TSearchStatus status = TSearchStatus::NotFound; // PatternError, or Found when anything was replaced
    size_t count = 0;
    TOffset lastStart = -1; // where the last replacement begins in the changed text
};

// The token under an offset (GetTokenAt).
struct TTokenText {
    TOffset start;
    std::string text;
};

class TSearchEngine {
public:
    using TCharTest = std::function<bool(unsigned char)>;
    // Replaces `length` characters at `start` by `text`; returns the stored
    // length of what was inserted.
    using TReplaceFn = std::function<TOffset(TOffset start, TOffset length, const std::string& text)>;

    static constexpr size_t kMaxTokenLength = 4096;

    explicit TSearchEngine(const TTextStore& store);
    ~TSearchEngine();
    TSearchEngine(const TSearchEngine&) = delete;
    TSearchEngine& operator=(const TSearchEngine&) = delete;

    // The control's word tests (defaults: a word starts with A-Z, a-z or _,
    // and holds ' - 0-9 A-Z _ a-z).
    void SetWordTests(const TCharTest& startsWord, const TCharTest& inWord);
    static bool DefaultStartsWord(unsigned char c) noexcept;
    static bool DefaultInWord(unsigned char c) noexcept;

    // One search from `from` in the direction of kSearchBackwards.
    TSearchResult Find(std::string_view text, uint32_t flags, TOffset from);

    // Find-next from a selection: fails at once backwards from offset 0 or
    // forwards from a selection that ends at the text end; starts one
    // character past (before) the last found position when the selection
    // starts there, else at the selection's end (start). Sets the last found
    // position on success.
    TSearchResult FindNext(std::string_view text, uint32_t flags, TOffset anchor, TOffset caret);
    TOffset LastFound() const noexcept { return fLastFound; }
    void SetLastFound(TOffset offset) noexcept { fLastFound = offset; }

    // The text that replaces the match found last: the replacement as it is
    // for a plain search, expanded with the match's elements for a pattern.
    std::string ReplacementFor(std::string_view replacement, uint32_t flags) const;

    // Every match from `from` to the end of the text, each search starting
    // after the previous match, with its replacement text; status NotFound
    // when there is none.
    TSearchStatus CollectReplacements(std::string_view text, std::string_view replacement, uint32_t flags,
                                      TOffset from, std::vector<TReplacement>& out);
    // Collects first, then replaces each match (shifted by the length change
    // of the replacements before it) through `replace`.
    TReplaceAllResult ReplaceAll(std::string_view text, std::string_view replacement, uint32_t flags,
                                 TOffset from, const TReplaceFn& replace);
    // A TReplaceFn that edits the store directly.
    static TReplaceFn StoreReplacer(TTextStore& store);

    // After a PatternError: the engine's message, the pattern and a caret.
    const std::string& PatternError() const noexcept { return fPatternError; }
    // "Search string "text" not found."
    static std::string NotFoundMessage(std::string_view text);

    // The run of characters around `offset` with the same token byte, within
    // its node and at most kMaxTokenLength long, without a line break; an
    // empty text at `offset` when the node has no token bytes.
    TTokenText GetTokenAt(TOffset offset) const;

private:
    TSearchResult FindPlain(std::string_view text, uint32_t flags, TOffset from);
    TSearchResult FindPattern(std::string_view text, uint32_t flags, TOffset from);
    // Reads text [start, end) into fWindow.
    void ReadWindow(TOffset start, TOffset end);
    bool WholeWordAt(size_t index, size_t length, TOffset windowStart) const noexcept;
    std::string ElementText(int n) const;

    const TTextStore& fStore;
    std::unique_ptr<TEdStream> fStream;
    std::unique_ptr<TEdStreamSource> fSource;
    std::unique_ptr<TREParser> fRegex;
    TSkipTable fSkip;
    std::string fWindow;
    std::array<bool, 256> fWordChar{};
    TOffset fLastFound = -1;
    std::string fPatternError;
};

} // namespace torvane::editor
