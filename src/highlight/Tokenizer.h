#pragma once
// TTokenizer: splits text into tokens, one NextToken call per token, running
// the tables of a compiled scheme (ParserTables.h).
//
// The scanner is a state machine over a *set* of active states, with a stack
// of state sets and "container" tokens whose text is scanned a second time.
// One call:
//   1. keyword lookup (longest word fitting the current states and its
//      follow group), then the user keyword tables;
//   2. a found keyword is continued by the handler of its token id, if any;
//      a handler that rejects lets the rules try the same start;
//   3. with no keyword (or a rejected one) the rule of the first character in
//      the active first-character table scans the token: a start routine, or
//      body steps until the terminator matches;
//   4. the token's effect: dropped unless a validIn state is current, else
//      push/pop and (current | add) - remove;
//   5. container bookkeeping: the caller re-scans a container's text while
//      InContainer() is set, and the states before it come back at its end.
// A rejected token is the first character alone as plain text (id 0).
//
// The active first-character table is the global one, unless a current state
// has a state table: then the table of the lowest such state.
//
// Built-in routines (numbers as in a scheme; start rules and handler bodies
// use 10..20 for routines 3..13):
//   0 QuoteDoubledChar   one character of a '...' text, '' standing for '
//   1 UrlChars           # & - . / 0-9 : = ? @ A-Z \ _ a-z | ~ ; no last "."
//   2 RestOfLineFromLineStart   the rest of the line, if the token starts it
//   3 identifier (10)    4 number or float (11)    5 Pascal string (12)
//   6 C string (13)      7 C char (14)             8 signed number (15)
//   9 digits (16)       10 mail address (17)      11 HTML string (18)
//  12 JS line comment (19)                        13 C string, ' quoted (20)
//
// The tokenizer never loops without progress: a body step that succeeds
// without consuming anything ends the token.

#include "common/StateSet.h"
#include "highlight/CharCursor.h"
#include "highlight/ParserTables.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace torvane {

// The custom routine hook: parseId is the routine number of the scheme; the
// handler consumes characters through the cursor, adds their count to length
// and may set value to a token id. Returns whether it matched.
using TCustomRoutine =
    std::function<bool(int32_t parseId, TCharCursor& cursor, int32_t& length, int32_t& value)>;

// The stack of state sets that effects push and pop.
using TRTStack = std::vector<TStateSet>;

class TTokenizer {
public:
    static constexpr int kRoutineCount = 14;
    static constexpr int kFirstStartRoutine = 10;
    static constexpr int kLastStartRoutine = 20;
    static constexpr int kStartRoutineOffset = 7;

    explicit TTokenizer(const TParserTables& tables) noexcept : tables_(tables) {}
    TTokenizer(const TTokenizer&) = delete;
    TTokenizer& operator=(const TTokenizer&) = delete;

    // Prepares a scan that starts at a token of id context: the current
    // states become ContextState[context] (Startstate when empty), the stack
    // and the container state are cleared, and the character groups of the
    // tables are read again (call it after the tables changed).
    void ResetState(uint8_t context);

    // Scans one token from the cursor. On entry length is ignored; on return
    // the cursor stands after the token and length holds its character
    // count. At the end of the text nothing is consumed and length is 0.
    // Raises ETessary "Stack underflow" for a pop from an empty stack (the
    // token is consumed first) and "Invalid Set ID (%d)" for a group index
    // the tables do not hold.
    uint8_t NextToken(TCharCursor& cursor, int32_t& length);

    // The user keyword table consulted after the scheme's keywords, and the
    // case flag it is searched with; null for none. Not owned.
    void SetUserKeywords(TKeywords* keywords, uint8_t caseFlag) noexcept {
        userKeywords_ = keywords;
        userCaseFlag_ = caseFlag;
    }
    TCustomRoutine OnCustomParse;

    const TStateSet& CurrentStates() const noexcept { return tables_.keywords->CurrentStates(); }
    // Replaces the current states (and reselects the active table).
    void SetCurrentStates(const TStateSet& states);
    bool InContainer() const noexcept { return inContainer_; }
    bool Busy() const noexcept { return busy_; }
    int64_t ContainerEnd() const noexcept { return containerEnd_; }
    uint8_t ContainerToken() const noexcept { return containerToken_; }
    size_t StackDepth() const noexcept { return stack_.size(); }

    // Runs built-in routine number (0..13) at the cursor; an unknown number
    // fails. On success the consumed count is added to length; on failure
    // cursor and length are as they were.
    static bool RunRoutine(int32_t number, TCharCursor& cursor, int32_t& length);

private:
    enum class Step { Accept, Reject };

    bool KeywordLookup(TCharCursor& cursor, int32_t& length, uint8_t& result, bool& userKeyword);
    Step RunHandler(const TTokenHandler& handler, TCharCursor& cursor, int32_t& length);
    // Scans with rule; result is set to the token id on Accept.
    Step RunRule(const TTokenRule& rule, TCharCursor& cursor, int64_t start, int32_t& length,
                 uint8_t& result);
    bool BodyStep(const TScanMatcher& body, TCharCursor& cursor, int32_t& length, int32_t& customValue);
    bool TerminatorMatches(const TScanTerminator& term, TCharCursor& cursor, int32_t& length);
    bool CallRoutine(uint8_t custom, int32_t number, TCharCursor& cursor, int32_t& length, int32_t& value);
    void ApplyEffect(const TTokenEffect& effect);
    void Pop();
    void SelectTable() noexcept;
    void SyncUserKeywords() noexcept;
    const TTokenRule* ActiveRule(uint8_t c) const noexcept { return (*active_)[c]; }
    // Whether group index holds c; an index beyond the snapshot goes to the
    // group table, which raises for an index it does not hold.
    bool InGroup(uint16_t group, uint8_t c) const {
        return group < members_.size() ? members_[group].Contains(c)
                                       : tables_.Groups().Get(group).Contains(c);
    }

    const TParserTables& tables_;
    const TRuleTable* active_ = &tables_.globalRules;
    TKeywords* userKeywords_ = nullptr;
    uint8_t userCaseFlag_ = 0;
    // Every group of the tables as the set of characters it holds (negation
    // applied), so a character test is one bit test.
    std::vector<TStateSet> members_;
    TRTStack stack_;
    TStateSet saved_;
    bool inContainer_ = false;
    bool busy_ = false;
    int64_t containerEnd_ = 0;
    uint8_t containerToken_ = 0;
};

} // namespace torvane
