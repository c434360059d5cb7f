#pragma once
// The user keyword tables of a scheme ("%%KwTables"): up to 21 word lists,
// each active in its own set of scanner states, and the one combined
// TKeywords the tokenizer looks words up in.
//
// Two tables may not share a state unless their state sets are equal, in
// which case the newer table replaces the older one; so for any state at most
// one table applies.
//
// Stream form (a section of the settings stream): i32 n; n times: 32-byte
// state set, i32-length follow-group specifier, i32 case flag, i32 m, then m
// times: i32-length word, i32 token id.

#include "common/StateSet.h"
#include "common/Stream.h"
#include "highlight/Keywords.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace torvane {

struct TUserKeywordTable {
    TStateSet states;        // an empty set means {0}
    std::string followGroup; // a character specifier; empty = every character
    uint8_t caseFlag = 0;    // 0 = case-insensitive
    struct Word {
        std::string text;
        int32_t token = 0;
    };
    std::vector<Word> words;
};

class TUserKeywordTables {
public:
    static constexpr int kMaxTables = 21;

    TUserKeywordTables() = default;
    TUserKeywordTables(const TUserKeywordTables&) = delete;
    TUserKeywordTables& operator=(const TUserKeywordTables&) = delete;

    // Adds a table (see the header comment) and rebuilds the combined
    // keywords. Raises EKeywords "Ambigious key table state definition" for
    // overlapping unequal state sets, EKeywords when all places are taken or
    // a word repeats within the table, ETessary for a bad specifier; the
    // tables stay as they were on any error.
    void Add(TUserKeywordTable table);
    void Clear();
    int Count() const noexcept;
    // The tables in place order.
    std::vector<const TUserKeywordTable*> Tables() const;

    const TKeywords& Keywords() const noexcept { return keywords_; }
    TKeywords& Keywords() noexcept { return keywords_; }

    void SaveToStream(TStream& stream) const;
    // Clears, then adds each table read (so the rules of Add apply).
    void LoadFromStream(TStream& stream);

private:
    // Builds the combined table from places; raises without side effects.
    static void Build(const std::array<std::optional<TUserKeywordTable>, kMaxTables>& places,
                      TKeywords& into);

    std::array<std::optional<TUserKeywordTable>, kMaxTables> places_;
    TKeywords keywords_;
};

} // namespace torvane
