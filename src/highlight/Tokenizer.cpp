#include "highlight/Tokenizer.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <bit>
#include <cstring>

namespace torvane {
namespace {

// The lowest number in a set, or -1 for an empty set.
int LowestMember(const TStateSet& set) noexcept {
    for (int word = 0; word < 4; ++word) {
        uint64_t bits;
        std::memcpy(&bits, set.Data() + word * 8, 8);
        if (bits) return word * 64 + std::countr_zero(bits); // byte order: little-endian hosts
    }
    return -1;
}

bool IsStartRoutine(const TScanMatcher& m) noexcept {
    return m.isRoutine && !m.custom && m.routine >= TTokenizer::kFirstStartRoutine &&
           m.routine <= TTokenizer::kLastStartRoutine;
}

} // namespace

void TTokenizer::ResetState(uint8_t context) {
    const TTE_CharGroupManager& groups = tables_.Groups();
    members_.resize(static_cast<size_t>(groups.Count()));
    for (int i = 0; i < groups.Count(); ++i) {
        const TTE_CharGroup& g = groups.Get(i);
        TStateSet all;
        all.Fill();
        members_[static_cast<size_t>(i)] = g.Negated() ? all - g.Members() : g.Members();
    }
    const TStateSet& entry = tables_.contextState[context];
    tables_.keywords->SetCurrentStates(entry.Empty() ? tables_.startState : entry);
    inContainer_ = false;
    busy_ = false;
    containerEnd_ = 0;
    containerToken_ = 0;
    stack_.clear();
    SelectTable();
    SyncUserKeywords();
}

void TTokenizer::SetCurrentStates(const TStateSet& states) {
    tables_.keywords->SetCurrentStates(states);
    SelectTable();
    SyncUserKeywords();
}

void TTokenizer::SelectTable() noexcept {
    active_ = &tables_.globalRules;
    if (tables_.noStateTables) return;
    const int state = LowestMember(CurrentStates() & tables_.stateTableSet);
    if (state >= 0 && tables_.stateTables[state]) active_ = &tables_.stateTables[state]->rules;
}

void TTokenizer::SyncUserKeywords() noexcept {
    if (userKeywords_) userKeywords_->SetCurrentStates(CurrentStates());
}

bool TTokenizer::KeywordLookup(TCharCursor& cursor, int32_t& length, uint8_t& result, bool& userKeyword) {
    const int64_t start = cursor.GetPosition();
    const TSyntaxKeywords& keywords = *tables_.keywords;
    if (keywords.IsEmpty()) {
        cursor.Next();
        length = 1;
    } else if (const TWordEntry* e = keywords.Match(cursor, keywords.CaseFlag(), length)) {
        result = static_cast<uint8_t>(e->value);
        return true;
    }
    if (userKeywords_ && !userKeywords_->IsEmpty()) {
        cursor.SetPosition(start);
        if (const TWordEntry* e = userKeywords_->Match(cursor, userCaseFlag_, length)) {
            result = static_cast<uint8_t>(e->value);
            userKeyword = true;
            return true;
        }
    }
    // A failed lookup has consumed the first character.
    result = 0;
    return false;
}

bool TTokenizer::CallRoutine(uint8_t custom, int32_t number, TCharCursor& cursor, int32_t& length,
                             int32_t& value) {
    if (!custom) return RunRoutine(number, cursor, length);
    if (!OnCustomParse) return false;
    return OnCustomParse(number, cursor, length, value);
}

bool TTokenizer::TerminatorMatches(const TScanTerminator& term, TCharCursor& cursor, int32_t& length) {
    if (term.isRoutine) {
        const int64_t p = cursor.GetPosition();
        const int32_t lengthBefore = length;
        int32_t ignored = 0;
        const bool matched = CallRoutine(term.custom, term.routine, cursor, length, ignored);
        // Without include the terminator is only looked at.
        if (matched && !term.include) {
            cursor.SetPosition(p);
            length = lengthBefore;
        }
        return matched;
    }
    // Group terminators step forward only while they match, so the cursor
    // needs putting back only when something was consumed.
    int consumed = 0;
    while (consumed < term.count && !cursor.AtEnd() && InGroup(term.groups[consumed], cursor.Peek())) {
        cursor.Next();
        ++consumed;
    }
    const bool matched = consumed == term.count;
    if (matched && term.include)
        length += consumed;
    else if (consumed > 0)
        cursor.SetPosition(cursor.GetPosition() - consumed);
    return matched;
}

bool TTokenizer::BodyStep(const TScanMatcher& body, TCharCursor& cursor, int32_t& length,
                          int32_t& customValue) {
    if (body.isRoutine) return CallRoutine(body.custom, body.routine, cursor, length, customValue);
    if (cursor.AtEnd() || !InGroup(body.group, cursor.Peek())) return false;
    cursor.Next();
    ++length;
    return true;
}

TTokenizer::Step TTokenizer::RunHandler(const TTokenHandler& h, TCharCursor& cursor, int32_t& length) {
    if (IsStartRoutine(h.body))
        return RunRoutine(h.body.routine - kStartRoutineOffset, cursor, length) ? Step::Accept : Step::Reject;
    const bool hasTerm = h.term.Present();
    for (bool first = true; !cursor.AtEnd(); first = false) {
        if (hasTerm && (!first || h.body.repeat) && TerminatorMatches(h.term, cursor, length))
            return Step::Accept;
        // Only a routine can succeed without moving on.
        const int64_t before = h.body.isRoutine ? cursor.GetPosition() : -1;
        int32_t ignored = 0;
        if (!BodyStep(h.body, cursor, length, ignored)) return Step::Reject;
        if (!hasTerm || (h.body.isRoutine && cursor.GetPosition() == before)) return Step::Accept;
    }
    return Step::Accept;
}

TTokenizer::Step TTokenizer::RunRule(const TTokenRule& rule, TCharCursor& cursor, int64_t start,
                                     int32_t& length, uint8_t& result) {
    if (rule.start.isRoutine) {
        cursor.SetPosition(start);
        length = 0;
        int32_t value = rule.token;
        const int32_t number =
            rule.start.custom ? rule.start.routine : rule.start.routine - kStartRoutineOffset;
        if (!CallRoutine(rule.start.custom, number, cursor, length, value)) return Step::Reject;
        result = rule.token;
        return Step::Accept;
    }
    // The keyword lookup has consumed the first character.
    for (bool first = true; !cursor.AtEnd(); first = false) {
        if ((rule.body.repeat || !first) && TerminatorMatches(rule.term, cursor, length)) break;
        int32_t value = 0;
        if (!rule.body.isRoutine) {
            if (!BodyStep(rule.body, cursor, length, value)) return Step::Reject;
            continue; // a group step always moves on
        }
        const int64_t before = cursor.GetPosition();
        if (!BodyStep(rule.body, cursor, length, value)) return Step::Reject;
        if (rule.body.custom) {
            result = static_cast<uint8_t>(value);
            return Step::Accept;
        }
        if (cursor.GetPosition() == before) break;
    }
    result = rule.token;
    return Step::Accept;
}

uint8_t TTokenizer::NextToken(TCharCursor& cursor, int32_t& length) {
    length = 0;
    const int64_t start = cursor.GetPosition();
    uint8_t result = 0;
    if (!cursor.AtEnd()) {
        const uint8_t first = cursor.Peek();
        bool userKeyword = false;
        bool found = KeywordLookup(cursor, length, result, userKeyword);
        if (found) {
            if (const TTokenHandler* h = tables_.handlers[result].get()) {
                if (RunHandler(*h, cursor, length) == Step::Reject) {
                    found = false;
                    userKeyword = false;
                    result = 0;
                    cursor.SetPosition(start + 1);
                    length = 1;
                }
            }
        }
        if (!found) {
            const TTokenRule* rule = ActiveRule(first);
            if (rule && rule->states.Intersects(CurrentStates()) &&
                RunRule(*rule, cursor, start, length, result) == Step::Reject) {
                result = 0;
                cursor.SetPosition(start + 1);
                length = 1;
            }
        }

        if (!inContainer_) saved_ = CurrentStates();
        const TTokenEffect* effect = tables_.effects[result].get();
        const bool invalid = effect && !userKeyword && !effect->validIn.Intersects(CurrentStates());
        if (invalid || cursor.GetPosition() == start) {
            cursor.SetPosition(start + 1);
            length = 1;
            result = 0;
        } else if (effect) {
            ApplyEffect(*effect);
        }
    }

    if (inContainer_) {
        if (cursor.GetPosition() >= containerEnd_ || cursor.AtEnd()) SetCurrentStates(saved_);
        inContainer_ = cursor.GetPosition() < containerEnd_;
    } else {
        const TTokenEffect* effect = tables_.effects[result].get();
        if (effect && effect->container && length > 0) {
            containerEnd_ = cursor.GetPosition();
            containerToken_ = result;
            inContainer_ = true;
        }
    }
    busy_ = inContainer_;
    return result;
}

void TTokenizer::ApplyEffect(const TTokenEffect& e) {
    if (e.stack & kPopBefore)
        Pop();
    else if (e.stack & kPushBefore)
        stack_.push_back(CurrentStates());
    if (!e.keep) tables_.keywords->SetCurrentStates((CurrentStates() | e.add) - e.remove);
    SelectTable();
    if (e.stack & kPopAfter)
        Pop();
    else if (e.stack & kPushAfter)
        stack_.push_back(CurrentStates());
    SyncUserKeywords();
}

void TTokenizer::Pop() {
    if (stack_.empty()) {
        SyncUserKeywords();
        throw ETessary(LoadStr(msg::SStackUnderflow));
    }
    tables_.keywords->SetCurrentStates(stack_.back());
    stack_.pop_back();
    SelectTable();
}

} // namespace torvane
