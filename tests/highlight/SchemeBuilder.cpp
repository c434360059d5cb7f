#include "SchemeBuilder.h"

#include "highlight/ParserText.h"

#include <ostream>

namespace torvane::test {

TStateSet States(std::initializer_list<int> members) {
    TStateSet s;
    for (int m : members)
        s.Include(m);
    return s;
}

TTE_CharGroup Group(std::string_view specifier) {
    TTE_CharGroup g;
    size_t pos = 0;
    g.ParseSpecifier(specifier, pos);
    return g;
}

uint16_t Intern(TParserTables& t, std::string_view specifier) {
    return static_cast<uint16_t>(t.keywords->Groups().Intern(Group(specifier)));
}

TScanMatcher GroupMatcher(TParserTables& t, std::string_view specifier, bool repeat) {
    TScanMatcher m;
    m.repeat = repeat;
    m.group = Intern(t, specifier);
    return m;
}

TScanMatcher RoutineMatcher(int32_t routine, bool custom) {
    TScanMatcher m;
    m.isRoutine = 1;
    m.custom = custom;
    m.routine = routine;
    return m;
}

TScanTerminator GroupTerminator(TParserTables& t, std::initializer_list<std::string_view> specifiers,
                                bool include) {
    TScanTerminator term;
    term.include = include;
    for (std::string_view s : specifiers)
        term.groups[term.count++] = Intern(t, s);
    return term;
}

TScanTerminator RoutineTerminator(int32_t routine, bool include, bool custom) {
    TScanTerminator term;
    term.include = include;
    term.isRoutine = 1;
    term.custom = custom;
    term.routine = routine;
    return term;
}

TTokenRule& AddRule(TParserTables& t, uint8_t token, std::string_view firstChars, TScanMatcher body,
                    TScanTerminator term, TStateSet states, int state) {
    TTokenRule& rule = t.NewRule();
    rule.start.group = Intern(t, firstChars);
    rule.states = states;
    rule.body = body;
    rule.term = term;
    rule.token = token;
    TStateTable* table = state >= 0 ? &t.StateTable(static_cast<uint8_t>(state)) : nullptr;
    const TTE_CharGroup& first = t.Groups().Get(rule.start.group);
    for (int c = 0; c < 256; ++c)
        if (first.Contains(static_cast<uint8_t>(c))) t.EnterRule(rule, static_cast<uint8_t>(c), table);
    t.EnsureEffect(token, states);
    t.FinishLoad();
    return rule;
}

TTokenRule& AddStartRoutineRule(TParserTables& t, uint8_t token, int32_t routine, std::string_view firstChars,
                                TStateSet states) {
    TTokenRule& rule = AddRule(t, token, firstChars, TScanMatcher{}, TScanTerminator{}, states);
    rule.start.isRoutine = 1;
    rule.start.routine = routine;
    return rule;
}

void AddKeyword(TParserTables& t, std::string_view word, uint8_t token, std::string_view follow,
                TStateSet states) {
    t.keywords->AddKeyword(word, t.keywords->CaseFlag(), token, states, Group(follow));
    t.EnsureEffect(token, states);
}

std::ostream& operator<<(std::ostream& os, const Token& t) {
    return os << "{" << t.id << "," << t.length << "}";
}

std::vector<Token> Tokenize(TTessaryParser& parser, std::string_view text, uint8_t context) {
    std::vector<Token> tokens;
    TStringCursor cursor(text);
    parser.ResetState(context);
    while (!cursor.AtEnd()) {
        int32_t length = 0;
        const int id = parser.NextToken(nullptr, cursor, length);
        tokens.push_back({id, length});
    }
    return tokens;
}

std::vector<int> CharacterIds(TTessaryParser& parser, std::string_view text) {
    const std::vector<uint8_t> ids = ScanTokenIds(parser, text);
    return std::vector<int>(ids.begin(), ids.end());
}

std::vector<uint8_t> Save(const TTessaryParser& parser) {
    TMemoryStream s;
    parser.SaveToStream(s);
    return s.Bytes();
}

void Load(TTessaryParser& parser, const std::vector<uint8_t>& bytes) {
    TMemoryStream s(bytes);
    parser.LoadFromStream(s);
}

} // namespace torvane::test
