#pragma once
// TSchemeGrammar: the section parser of scheme scripts. It reads tokens from
// the lexer (ScriptLexer.h) and fills a parser component's tables and
// settings; SchemeCompiler.h is the entry point.
//
// Value notation (built on the lexer's tokens):
//   expr       term { (+ | - | or) term }, left to right, no precedence,
//              32-bit wrap-around; term = number | ( expr ). Any error
//              inside an expression is reported as "Expression expected".
//   byte       an expr that must lie in 0..255 ("Range error, value
//              outwith 0 .. 255", an ETessary without position).
//   set        [ byte [,] byte [,] ... ]  -> a TStateSet
//   set-or-value   a set, or one byte giving a one-element set
//   string     'text' with escapes resolved; raw where a specifier, a tab
//              list or trigger characters are read
//   specifier  a string holding one character specifier (CharGroup.h),
//              interned in the keyword table's group table
//   star       an optional [ ] holding an optional *
//   key        an expr, or a one-character string (taken upper case);
//              modifiers [shift, ctrl, alt] before it add 8192, 16384 and
//              32768
//
// Reading rules the scripts can rely on:
//   - every section skips repeats of its own keyword and then reads entries
//     as long as the current token can start one; any other token ends the
//     section, and at the top level anything but a section keyword is
//     "Script syntax error";
//   - in %%Tokens a terminator follows the body whenever the next token can
//     start one (match, a string, or an expression), so a rule without a
//     terminator can only stand last in its block (or give '' 0);
//   - in %%Handlers the terminator is match(...) or a string, never a bare
//     routine number (which would start the next entry);
//   - set-or-value after + or - in %%States is greedy: "+ 1 - 2" adds the
//     value -1; write "+ [1] - [2]".

#include "common/StateSet.h"
#include "highlight/CharGroup.h"
#include "highlight/Parser.h"
#include "highlight/ShortCut.h"
#include "scheme/ScriptLexer.h"

#include <cstdint>
#include <string>

namespace torvane::scheme {

class TSchemeGrammar {
public:
    TSchemeGrammar(TTessaryParser& parser, TTES_Compiler& lexer) noexcept;
    TSchemeGrammar(const TSchemeGrammar&) = delete;
    TSchemeGrammar& operator=(const TSchemeGrammar&) = delete;

    // Reads the first token and parses sections until the end of input.
    void Run();
    // The place being parsed, for diagnostics ("Header", "%%Tokens - 3" ...).
    const std::string& Context() const noexcept { return context_; }
    // Where the last error stands (0-based): the token a compile error names,
    // or the first token of the value a range error is about.
    int ErrorLine() const noexcept { return valueError_ ? valueLine_ : lexer_.TokenLine(); }
    int ErrorColumn() const noexcept { return valueError_ ? valueColumn_ : lexer_.TokenColumn(); }

private:
    // ---- tokens (SchemeGrammar.cpp) ---------------------------------------
    int Token() const noexcept { return lexer_.Token(); }
    void Next() { lexer_.NextToken(); }
    bool AtExpr() const noexcept;
    [[noreturn]] void Error(int messageId) const;
    [[noreturn]] void ErrorText(const std::string& text) const;
    // Raises ETessary with text (a value out of its range), remembering the
    // position of the value, which starts at line, column.
    [[noreturn]] void ValueError(const std::string& text, int line, int column);
    // Checks that the current token is `token` (else Error(messageId)) and
    // moves past it.
    void Expect(int token, int messageId);
    void SkipRepeated(int sectionToken);

    // ---- values (SchemeGrammar.cpp) ----------------------------------------
    int32_t Expr();
    int32_t ExprBody();
    int32_t Term();
    uint8_t Byte();
    TStateSet Set();
    TStateSet SetOrValue();
    std::string String();    // escapes resolved
    std::string RawString(); // as written
    // The raw string at the cursor as exactly one character specifier.
    TTE_CharGroup Specifier();
    // The same without moving on, so errors about it can point at it.
    TTE_CharGroup SpecifierAtToken();
    uint16_t InternSpecifier();
    bool StarOption();
    uint8_t FontStyles();
    TShortCut Modifiers();
    uint8_t Key();
    TShortCut KeyWithModifiers();
    // A terminator, when the current token starts one; returns whether
    // it did. allowRoutine: a bare expr is a built-in routine terminator.
    bool Terminator(TScanTerminator& term, bool allowRoutine);
    // match ( expr ): the custom routine number.
    int32_t CustomRoutine();

    // ---- sections (SchemeLanguage.cpp, SchemeSections.cpp) -----------------
    void Language();
    bool LanguageEntry();
    void ContextStates();
    void EditableStyles();
    void Words();
    void KwTables();
    void Handlers();
    void Tokens();
    void Rule(TStateTable* table, uint8_t defaultState);
    // Raises when a character of first already has a rule in the table.
    void CheckStartSet(const TTE_CharGroup& first, const TStateTable* table) const;
    void EnterRule(const TTokenRule& rule, const TTE_CharGroup& first, TStateTable* table);
    void Map();
    void Effects();
    void States(bool containers);
    void Clauses(TTokenEffect& effect);
    void Keys();
    void AddMacro(TMacroKeywords& table, const std::string& name, const std::string& description);
    void AutoReplace();
    void Templates();

    void SetContext(const std::string& section, int entry = -1);

    TTessaryParser& parser_;
    TParserTables& tables_;
    TTE_Settings& settings_;
    TTES_Compiler& lexer_;
    std::string context_ = "Header";
    bool valueError_ = false;
    // Parentheses are parsed recursively; a hostile script must not be able
    // to exhaust the stack, and no real script nests anywhere near this.
    static constexpr int kMaxNesting = 1000;
    int nesting_ = 0;
    bool tooDeep_ = false;
    int valueLine_ = 0;
    int valueColumn_ = 0;
};

} // namespace torvane::scheme
