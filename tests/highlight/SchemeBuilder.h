#pragma once
// Small helpers that fill parser tables the way the scheme compiler would,
// so tests can state a scheme in a few lines.

#include "highlight/Parser.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvane::test {

TStateSet States(std::initializer_list<int> members);
TTE_CharGroup Group(std::string_view specifier);
uint16_t Intern(TParserTables& t, std::string_view specifier);

TScanMatcher GroupMatcher(TParserTables& t, std::string_view specifier, bool repeat = false);
TScanMatcher RoutineMatcher(int32_t routine, bool custom = false);
// Up to four specifiers matched in a row.
TScanTerminator GroupTerminator(TParserTables& t, std::initializer_list<std::string_view> specifiers,
                                bool include);
TScanTerminator RoutineTerminator(int32_t routine, bool include, bool custom = false);

// Adds a rule entered under every character of firstChars, in the global
// table or (state >= 0) in that state's table; creates the token's effect.
TTokenRule& AddRule(TParserTables& t, uint8_t token, std::string_view firstChars, TScanMatcher body,
                    TScanTerminator term, TStateSet states = States({0}), int state = -1);
// A rule whose start is a start routine (10..20) with its first characters.
TTokenRule& AddStartRoutineRule(TParserTables& t, uint8_t token, int32_t routine, std::string_view firstChars,
                                TStateSet states = States({0}));
void AddKeyword(TParserTables& t, std::string_view word, uint8_t token, std::string_view follow = "",
                TStateSet states = States({0}));

struct Token {
    int id;
    int length;
    friend bool operator==(const Token&, const Token&) = default;
};
std::ostream& operator<<(std::ostream& os, const Token& t);

// Tokens of the whole text from a fresh ResetState(context).
std::vector<Token> Tokenize(TTessaryParser& parser, std::string_view text, uint8_t context = 0);
// The id of every character, re-scanning containers the way the editor
// does: inner ids replace the container's id, inner 0 keeps it.
std::vector<int> CharacterIds(TTessaryParser& parser, std::string_view text);

std::vector<uint8_t> Save(const TTessaryParser& parser);
void Load(TTessaryParser& parser, const std::vector<uint8_t>& bytes);

} // namespace torvane::test
