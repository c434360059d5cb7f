#include "highlight/ParserTables.h"

namespace torvane {
namespace {

bool SameMatcher(const TScanMatcher& a, const TTE_CharGroupManager& ga, const TScanMatcher& b,
                 const TTE_CharGroupManager& gb) {
    if (a.repeat != b.repeat || a.isRoutine != b.isRoutine) return false;
    if (a.isRoutine && (a.custom != b.custom || a.routine != b.routine)) return false;
    // The group is stored even for a routine, so it is part of the content.
    return ga.Get(a.group).Equals(gb.Get(b.group));
}

bool SameTerminator(const TScanTerminator& a, const TTE_CharGroupManager& ga, const TScanTerminator& b,
                    const TTE_CharGroupManager& gb) {
    if (a.include != b.include || a.isRoutine != b.isRoutine) return false;
    if (a.isRoutine) return a.custom == b.custom && a.routine == b.routine;
    if (a.count != b.count) return false;
    for (int i = 0; i < a.count; ++i)
        if (!ga.Get(a.groups[i]).Equals(gb.Get(b.groups[i]))) return false;
    return true;
}

bool SameRule(const TTokenRule* a, const TTE_CharGroupManager& ga, const TTokenRule* b,
              const TTE_CharGroupManager& gb) {
    if (!a || !b) return a == b;
    return a->token == b->token && a->states == b->states && SameMatcher(a->start, ga, b->start, gb) &&
           SameMatcher(a->body, ga, b->body, gb) && SameTerminator(a->term, ga, b->term, gb);
}

bool SameRuleTable(const TRuleTable& a, const TTE_CharGroupManager& ga, const TRuleTable& b,
                   const TTE_CharGroupManager& gb) {
    for (int c = 0; c < 256; ++c)
        if (!SameRule(a[c], ga, b[c], gb)) return false;
    return true;
}

bool SameEffect(const TTokenEffect* a, const TTokenEffect* b) {
    if (!a || !b) return a == b;
    return a->validIn == b->validIn && a->add == b->add && a->remove == b->remove &&
           a->container == b->container && a->keep == b->keep && a->stack == b->stack;
}

// Keyword tables compared through their stream form: it lists the words in
// the order added with their groups in full.
bool SameKeywords(const TSyntaxKeywords& a, const TSyntaxKeywords& b) {
    TMemoryStream sa, sb;
    a.SaveToStream(sa);
    b.SaveToStream(sb);
    return sa.Bytes() == sb.Bytes();
}

} // namespace

TParserTables::TParserTables() {
    Reset();
}

void TParserTables::Reset() {
    keywords = std::make_unique<TSyntaxKeywords>();
    for (auto& h : handlers)
        h.reset();
    globalRules.fill(nullptr);
    for (auto& s : contextState)
        s.Clear();
    for (auto& e : effects)
        e.reset();
    for (auto& t : stateTables)
        t.reset();
    stateTableSet.Clear();
    noStateTables = true;
    anchor = StateSetOf(0);
    boundStates.Clear();
    startState = StateSetOf(0);
    customRoutines = false;
    caseFlag = 0;
    rulePool_.clear();
}

TTokenRule& TParserTables::NewRule() {
    rulePool_.push_back(std::make_unique<TTokenRule>());
    return *rulePool_.back();
}

void TParserTables::EnterRule(const TTokenRule& rule, uint8_t c, TStateTable* table) noexcept {
    (table ? table->rules : globalRules)[c] = &rule;
}

TStateTable& TParserTables::StateTable(uint8_t state) {
    if (!stateTables[state]) stateTables[state] = std::make_unique<TStateTable>();
    return *stateTables[state];
}

TTokenHandler& TParserTables::Handler(uint8_t token) {
    if (!handlers[token]) handlers[token] = std::make_unique<TTokenHandler>();
    return *handlers[token];
}

TTokenEffect& TParserTables::EnsureEffect(uint8_t token, const TStateSet& states) {
    if (!effects[token]) {
        effects[token] = std::make_unique<TTokenEffect>();
        effects[token]->validIn = StateSetOf(0);
    }
    effects[token]->validIn |= states;
    return *effects[token];
}

void TParserTables::FinishLoad() noexcept {
    stateTableSet.Clear();
    for (int s = 0; s < 256; ++s)
        if (stateTables[s]) stateTableSet.Include(s);
    noStateTables = stateTableSet.Empty();
}

void TParserTables::FillContextStates() noexcept {
    for (auto& s : contextState)
        if (s.Empty()) s = startState;
}

bool TParserTables::SameContent(const TParserTables& o) const {
    const TTE_CharGroupManager& ga = Groups();
    const TTE_CharGroupManager& gb = o.Groups();
    if (!SameKeywords(*keywords, *o.keywords)) return false;
    if (!SameRuleTable(globalRules, ga, o.globalRules, gb)) return false;
    if (contextState != o.contextState) return false;
    if (stateTableSet != o.stateTableSet || noStateTables != o.noStateTables) return false;
    if (anchor != o.anchor || boundStates != o.boundStates || startState != o.startState) return false;
    if (customRoutines != o.customRoutines || caseFlag != o.caseFlag) return false;
    for (int i = 0; i < 256; ++i) {
        const TTokenHandler* ha = handlers[i].get();
        const TTokenHandler* hb = o.handlers[i].get();
        if (!ha != !hb) return false;
        if (ha && (!SameMatcher(ha->body, ga, hb->body, gb) || !SameTerminator(ha->term, ga, hb->term, gb)))
            return false;
        if (!SameEffect(effects[i].get(), o.effects[i].get())) return false;
        const TStateTable* ta = stateTables[i].get();
        const TStateTable* tb = o.stateTables[i].get();
        if (!ta != !tb) return false;
        if (ta) {
            if (!SameRuleTable(ta->rules, ga, tb->rules, gb) || ta->ranges.size() != tb->ranges.size())
                return false;
            for (size_t r = 0; r < ta->ranges.size(); ++r)
                if (ta->ranges[r].low != tb->ranges[r].low || ta->ranges[r].high != tb->ranges[r].high ||
                    !SameRule(&ta->ranges[r].rule, ga, &tb->ranges[r].rule, gb))
                    return false;
        }
    }
    return true;
}

} // namespace torvane
