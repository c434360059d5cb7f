#pragma once
// The tables of a compiled highlighting scheme: what the tokenizer runs on,
// what the script compiler fills and what the compiled stream stores.
//
// Everything is indexed directly (256 slots per table) so the tokenizer never
// searches: token rules by first character, handlers and effects by token id,
// state tables by state. Character groups are 16-bit indices into the group
// table owned by the keyword table, so one group shared by many rules is
// stored once.
//
// A rule is entered under every character of its first-character group; the
// table slots then point at the same rule object, which the tables' rule
// pool owns. Filling the tables (for a grammar or a loader):
//   tables.Reset();
//   TTokenRule& rule = tables.NewRule();            // fill its fields
//   tables.EnterRule(rule, 'a'); ...                // global table
//   tables.EnterRule(rule, 'x', tables.StateTable(3));   // state 3's table
//   tables.EnsureEffect(token, states);            // as the script names a token
//   tables.FinishLoad();                            // recompute the state-table set

#include "common/StateSet.h"
#include "highlight/Keywords.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace torvane {

// A start or body matcher: one character of a group, or a routine call.
struct TScanMatcher {
    // Body matchers: 1 = zero or more, the terminator is tried before the
    // first body step. Start matchers carry it unused.
    uint8_t repeat = 0;
    uint16_t group = 0; // character group index, used when isRoutine is 0
    uint8_t isRoutine = 0;
    uint8_t custom = 0; // 1: the routine is the custom-parse event
    int32_t routine = 0;
};

// What ends a token: up to four groups matched one after the other, or a
// routine call. No groups and no routine means "no terminator".
struct TScanTerminator {
    uint8_t include = 0; // 1: the matched characters belong to the token
    uint8_t isRoutine = 0;
    uint8_t count = 0; // 0..4 groups, when isRoutine is 0
    std::array<uint16_t, 4> groups{};
    uint8_t custom = 0;
    int32_t routine = 0;

    static constexpr int kMaxGroups = 4;
    bool Present() const noexcept { return count != 0 || isRoutine != 0; }
};

// One entry of a first-character table.
struct TTokenRule {
    TScanMatcher start; // its group is the set of first characters
    TStateSet states;   // the rule applies while one of these is current
    TScanMatcher body;
    TScanTerminator term;
    uint8_t token = 0;
};

// Continues a token the keyword lookup has just produced.
struct TTokenHandler {
    TScanMatcher body;
    TScanTerminator term;
};

// Stack byte of an effect.
enum : uint8_t {
    kPushBefore = 1,
    kPopBefore = 2,
    kPushAfter = 4,
    kPopAfter = 8,
};

// What a token does to the scanner states.
struct TTokenEffect {
    TStateSet validIn;     // the token is accepted only in one of these states
    TStateSet add;         // added after the token
    TStateSet remove;      // then removed
    uint8_t container = 0; // 1: the token's text is scanned again for inner tokens
    uint8_t keep = 1;      // 1: add and remove are empty, states stay as they are
    uint8_t stack = 0;     // kPushBefore | kPopBefore | kPushAfter | kPopAfter
};

// A range entry of a state table. Carried by the stream, never consulted.
struct TRangeEntry {
    uint16_t low = 0;
    uint16_t high = 0;
    TTokenRule rule;
};

using TRuleTable = std::array<const TTokenRule*, 256>;

// The first-character table that is active while its state is current.
struct TStateTable {
    TRuleTable rules{};
    std::vector<TRangeEntry> ranges;
};

class TParserTables {
public:
    TParserTables();
    TParserTables(const TParserTables&) = delete;
    TParserTables& operator=(const TParserTables&) = delete;

    // Frees every table and record and creates an empty keyword table;
    // Anchor = Startstate = {0}, BoundStates empty, flags cleared.
    void Reset();

    // A new rule owned by the tables, not yet entered anywhere.
    TTokenRule& NewRule();
    // Enters rule under first character c of table (the global table when
    // null), replacing what stood there.
    void EnterRule(const TTokenRule& rule, uint8_t c, TStateTable* table = nullptr) noexcept;
    // The state table of state, created empty on first use.
    TStateTable& StateTable(uint8_t state);
    // The handler of token, created empty on first use.
    TTokenHandler& Handler(uint8_t token);
    // Creates token's effect record with validIn = {0} | states, or unites
    // states into the existing record's validIn.
    TTokenEffect& EnsureEffect(uint8_t token, const TStateSet& states);

    // After a load or compile: recomputes the set of states that have a
    // table and the no-state-tables flag.
    void FinishLoad() noexcept;
    // End of a compile: every empty ContextState entry becomes Startstate.
    void FillContextStates() noexcept;

    // Structural equality of every table (rules compared by content, group
    // indices through the groups they name). Used to check round trips.
    bool SameContent(const TParserTables& other) const;

    // 2. keywords; owns the character-group table every index here refers to.
    std::unique_ptr<TSyntaxKeywords> keywords;
    // 3. handlers by token id.
    std::array<std::unique_ptr<TTokenHandler>, 256> handlers;
    // 4. global first-character table.
    TRuleTable globalRules{};
    // 5. scanner states to restart with at a token; empty = Startstate.
    std::array<TStateSet, 256> contextState;
    // 6. effects by token id.
    std::array<std::unique_ptr<TTokenEffect>, 256> effects;
    // 7. state tables by state, the states that have one, and whether none do.
    std::array<std::unique_ptr<TStateTable>, 256> stateTables;
    TStateSet stateTableSet;
    bool noStateTables = true;
    // 8. token ids at which a re-scan may restart; states that keep a
    // re-scan going past an unchanged line; states at the text start.
    TStateSet anchor;
    TStateSet boundStates;
    TStateSet startState;
    // 9. the scheme uses the custom-parse event.
    bool customRoutines = false;
    // 10. keywords of the user keyword tables are case-sensitive (not stored).
    uint8_t caseFlag = 0;

    const TTE_CharGroupManager& Groups() const noexcept { return keywords->Groups(); }

private:
    std::vector<std::unique_ptr<TTokenRule>> rulePool_;
};

// The single-element set {n}.
inline TStateSet StateSetOf(int n) noexcept {
    TStateSet s;
    s.Include(n);
    return s;
}

} // namespace torvane
