#include "highlight/CompiledScheme.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <limits>

namespace torvane {

using namespace stream_io;

namespace {

// ---- writing ----------------------------------------------------------

void WriteSet(TStream& s, const TStateSet& set) {
    s.WriteBuffer(set.Data(), TStateSet::kBytes);
}

void WriteGroup(TStream& s, const TParserTables& t, uint16_t group) {
    t.Groups().Get(group).SaveToStream(s);
}

void WriteMatcher(TStream& s, const TParserTables& t, const TScanMatcher& m) {
    WriteU8(s, m.repeat);
    WriteGroup(s, t, m.group);
    WriteU8(s, m.isRoutine);
    if (m.isRoutine) {
        WriteU8(s, m.custom);
        WriteI32(s, m.routine);
    }
}

void WriteTerminator(TStream& s, const TParserTables& t, const TScanTerminator& term) {
    WriteU8(s, term.include);
    WriteU8(s, term.isRoutine);
    if (term.isRoutine) {
        WriteU8(s, term.custom);
        WriteI32(s, term.routine);
        return;
    }
    WriteU8(s, term.count);
    for (int i = 0; i < term.count; ++i)
        WriteGroup(s, t, term.groups[i]);
}

void WriteRule(TStream& s, const TParserTables& t, const TTokenRule& rule) {
    WriteMatcher(s, t, rule.start);
    WriteSet(s, rule.states);
    WriteMatcher(s, t, rule.body);
    WriteTerminator(s, t, rule.term);
    WriteU8(s, rule.token);
}

template <class Array> int32_t CountPresent(const Array& slots) {
    int32_t n = 0;
    for (const auto& slot : slots)
        n += slot != nullptr;
    return n;
}

void WriteRuleTable(TStream& s, const TParserTables& t, const TRuleTable& rules) {
    WriteI32(s, CountPresent(rules));
    for (int c = 0; c < 256; ++c)
        if (rules[c]) {
            WriteU8(s, static_cast<uint8_t>(c));
            WriteRule(s, t, *rules[c]);
        }
}

void WriteRangeList(TStream& s, const TParserTables& t, const std::vector<TRangeEntry>& ranges) {
    WriteI32(s, static_cast<int32_t>(ranges.size()));
    for (const TRangeEntry& r : ranges) {
        WriteU16(s, r.low);
        WriteU16(s, r.high);
        WriteRule(s, t, r.rule);
    }
}

// ---- reading ----------------------------------------------------------

TStateSet ReadSet(TStream& s) {
    TStateSet set;
    s.ReadBuffer(set.Data(), TStateSet::kBytes);
    return set;
}

uint16_t ReadGroup(TStream& s, TParserTables& t) {
    TTE_CharGroup group;
    group.LoadFromStream(s);
    const int index = t.keywords->Groups().Intern(group);
    if (index > std::numeric_limits<uint16_t>::max()) throw ETessary(LoadStr(msg::STooManyCharGroups));
    return static_cast<uint16_t>(index);
}

TScanMatcher ReadMatcher(TStream& s, TParserTables& t) {
    TScanMatcher m;
    m.repeat = ReadU8(s);
    m.group = ReadGroup(s, t);
    m.isRoutine = ReadU8(s);
    if (m.isRoutine) {
        m.custom = ReadU8(s);
        m.routine = ReadI32(s);
    }
    return m;
}

TScanTerminator ReadTerminator(TStream& s, TParserTables& t) {
    TScanTerminator term;
    term.include = ReadU8(s);
    term.isRoutine = ReadU8(s);
    if (term.isRoutine) {
        term.custom = ReadU8(s);
        term.routine = ReadI32(s);
        return term;
    }
    const uint8_t count = ReadU8(s);
    if (count > TScanTerminator::kMaxGroups) throw ETessary(FormatStr<msg::SBadTerminatorCount>(count));
    term.count = count;
    for (int i = 0; i < count; ++i)
        term.groups[i] = ReadGroup(s, t);
    return term;
}

void ReadRuleInto(TStream& s, TParserTables& t, TTokenRule& rule) {
    rule.start = ReadMatcher(s, t);
    rule.states = ReadSet(s);
    rule.body = ReadMatcher(s, t);
    rule.term = ReadTerminator(s, t);
    rule.token = ReadU8(s);
}

// A count read from the stream; a negative one counts as none. Large counts
// need no cap: every entry consumes bytes, so a short stream ends the loop.
int32_t ReadCount(TStream& s) {
    const int32_t n = ReadI32(s);
    return n < 0 ? 0 : n;
}

std::vector<TRangeEntry> ReadRangeList(TStream& s, TParserTables& t) {
    std::vector<TRangeEntry> ranges;
    for (int32_t k = ReadCount(s); k > 0; --k) {
        TRangeEntry r;
        r.low = ReadU16(s);
        r.high = ReadU16(s);
        ReadRuleInto(s, t, r.rule);
        ranges.push_back(r);
    }
    return ranges;
}

} // namespace

void WriteSchemeTables(TStream& s, const TParserTables& t) {
    t.keywords->SaveToStream(s);

    WriteI32(s, CountPresent(t.handlers));
    for (int id = 0; id < 256; ++id)
        if (const TTokenHandler* h = t.handlers[id].get()) {
            WriteU8(s, static_cast<uint8_t>(id));
            WriteMatcher(s, t, h->body);
            WriteTerminator(s, t, h->term);
        }

    WriteRuleTable(s, t, t.globalRules);

    int32_t contexts = 0;
    for (const TStateSet& c : t.contextState)
        contexts += c != t.startState;
    WriteI32(s, contexts);
    for (int id = 0; id < 256; ++id)
        if (t.contextState[id] != t.startState) {
            WriteU8(s, static_cast<uint8_t>(id));
            WriteSet(s, t.contextState[id]);
        }

    WriteI32(s, CountPresent(t.effects));
    for (int id = 0; id < 256; ++id)
        if (const TTokenEffect* e = t.effects[id].get()) {
            WriteU8(s, static_cast<uint8_t>(id));
            WriteSet(s, e->validIn);
            WriteSet(s, e->add);
            WriteSet(s, e->remove);
            WriteU8(s, e->container);
            WriteU8(s, e->keep);
            WriteU8(s, e->stack);
        }

    WriteI32(s, t.noStateTables ? 0 : CountPresent(t.stateTables));
    if (!t.noStateTables)
        for (int state = 0; state < 256; ++state)
            if (const TStateTable* table = t.stateTables[state].get()) {
                WriteU8(s, static_cast<uint8_t>(state));
                WriteI32(s, CountPresent(table->rules));
                for (int c = 0; c < 256; ++c)
                    if (table->rules[c]) {
                        WriteU8(s, static_cast<uint8_t>(c));
                        WriteRule(s, t, *table->rules[c]);
                        WriteRangeList(s, t, table->ranges);
                    }
            }

    WriteSet(s, t.anchor);
    WriteSet(s, t.boundStates);
    WriteSet(s, t.startState);
    WriteU8(s, t.customRoutines ? 1 : 0);
}

void ReadSchemeTables(TStream& s, TParserTables& t) {
    // The keyword load clears the group table; every group read below is
    // interned after it.
    t.keywords->LoadFromStream(s);

    for (int32_t n = ReadCount(s); n > 0; --n) {
        TTokenHandler& h = t.Handler(ReadU8(s));
        h.body = ReadMatcher(s, t);
        h.term = ReadTerminator(s, t);
    }

    for (int32_t n = ReadCount(s); n > 0; --n) {
        const uint8_t c = ReadU8(s);
        TTokenRule& rule = t.NewRule();
        ReadRuleInto(s, t, rule);
        t.EnterRule(rule, c);
    }

    for (int32_t n = ReadCount(s); n > 0; --n) {
        const uint8_t id = ReadU8(s);
        t.contextState[id] = ReadSet(s);
    }

    for (int32_t n = ReadCount(s); n > 0; --n) {
        const uint8_t id = ReadU8(s);
        auto e = std::make_unique<TTokenEffect>();
        e->validIn = ReadSet(s);
        e->add = ReadSet(s);
        e->remove = ReadSet(s);
        e->container = ReadU8(s);
        e->keep = ReadU8(s);
        e->stack = ReadU8(s);
        t.effects[id] = std::move(e);
    }

    for (int32_t n = ReadCount(s); n > 0; --n) {
        TStateTable& table = t.StateTable(ReadU8(s));
        for (int32_t m = ReadCount(s); m > 0; --m) {
            const uint8_t c = ReadU8(s);
            TTokenRule& rule = t.NewRule();
            ReadRuleInto(s, t, rule);
            t.EnterRule(rule, c, &table);
            table.ranges = ReadRangeList(s, t);
        }
    }

    t.anchor = ReadSet(s);
    t.boundStates = ReadSet(s);
    t.startState = ReadSet(s);
    t.customRoutines = ReadU8(s) != 0;
    t.FinishLoad();
}

} // namespace torvane
