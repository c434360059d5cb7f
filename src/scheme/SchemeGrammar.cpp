#include "scheme/SchemeGrammar.h"

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "highlight/Settings.h"

namespace torvane::scheme {

TSchemeGrammar::TSchemeGrammar(TTessaryParser& parser, TTES_Compiler& lexer) noexcept
    : parser_(parser), tables_(parser.Tables()), settings_(parser.Settings()), lexer_(lexer) {}

void TSchemeGrammar::Run() {
    // Anchor collects the anchor entries; a script that names none keeps
    // the default {0}.
    tables_.anchor.Clear();
    Next();
    while (Token() != tkEndOfInput) {
        switch (Token()) {
        case tkLanguage:
            Language();
            break;
        case tkWords:
            Words();
            break;
        case tkKwTables:
            KwTables();
            break;
        case tkHandlers:
            Handlers();
            break;
        case tkTokens:
            Tokens();
            break;
        case tkMap:
            Map();
            break;
        case tkEffects:
            Effects();
            break;
        case tkStates:
            States(false);
            break;
        case tkContainers:
            States(true);
            break;
        case tkKeys:
            Keys();
            break;
        case tkAutoReplace:
            AutoReplace();
            break;
        case tkTemplates:
            Templates();
            break;
        default:
            Error(msg::SScriptSyntaxError);
        }
    }
    if (tables_.anchor.Empty()) tables_.anchor = StateSetOf(0);
}

// ---- tokens -------------------------------------------------------------------

bool TSchemeGrammar::AtExpr() const noexcept {
    return Token() == tkNumber || Token() == tkOpenParen;
}

void TSchemeGrammar::Error(int messageId) const {
    lexer_.CompileError(LoadStr(messageId));
}

void TSchemeGrammar::ErrorText(const std::string& text) const {
    lexer_.CompileError(text);
}

void TSchemeGrammar::Expect(int token, int messageId) {
    if (Token() != token) Error(messageId);
    Next();
}

void TSchemeGrammar::SkipRepeated(int sectionToken) {
    while (Token() == sectionToken)
        Next();
}

void TSchemeGrammar::SetContext(const std::string& section, int entry) {
    context_ = entry < 0 ? section : section + " - " + std::to_string(entry);
}

// ---- values -------------------------------------------------------------------

int32_t TSchemeGrammar::Expr() {
    try {
        return ExprBody();
    } catch (const ETES_COMP_ERROR&) {
        if (tooDeep_) throw;
        Error(msg::SExpressionExpected);
    }
}

int32_t TSchemeGrammar::ExprBody() {
    // Unsigned arithmetic: colours and option masks use all 32 bits, and a
    // script may overflow on purpose without undefined behaviour.
    uint32_t value = static_cast<uint32_t>(Term());
    for (;;) {
        const int op = Token();
        if (op != tkPlus && op != tkMinus && op != tkOr) return static_cast<int32_t>(value);
        Next();
        const uint32_t rhs = static_cast<uint32_t>(Term());
        value = op == tkPlus ? value + rhs : op == tkMinus ? value - rhs : value | rhs;
    }
}

int32_t TSchemeGrammar::Term() {
    if (Token() == tkNumber) {
        const int32_t value = lexer_.NumberValue();
        Next();
        return value;
    }
    if (Token() != tkOpenParen) Error(msg::SScriptSyntaxError);
    if (nesting_ >= kMaxNesting) {
        tooDeep_ = true;
        ErrorText(FormatStr<msg::SExpressionTooDeep>(kMaxNesting));
    }
    ++nesting_;
    Next();
    const int32_t value = ExprBody();
    Expect(tkCloseParen, msg::SCloseParenExpected);
    --nesting_;
    return value;
}

void TSchemeGrammar::ValueError(const std::string& text, int line, int column) {
    valueError_ = true;
    valueLine_ = line;
    valueColumn_ = column;
    throw ETessary(text);
}

uint8_t TSchemeGrammar::Byte() {
    const int line = lexer_.TokenLine(), column = lexer_.TokenColumn();
    const int32_t value = Expr();
    if (value < 0 || value > 255) ValueError(FormatStr<msg::SRangeError>(0, 255), line, column);
    return static_cast<uint8_t>(value);
}

TStateSet TSchemeGrammar::Set() {
    Expect(tkOpenBracket, msg::SOpenBracketExpected);
    TStateSet set;
    while (AtExpr()) {
        set.Include(Byte());
        if (Token() == tkComma) Next();
    }
    Expect(tkCloseBracket, msg::SCloseBracketExpected);
    return set;
}

TStateSet TSchemeGrammar::SetOrValue() {
    if (Token() == tkOpenBracket) return Set();
    return StateSetOf(Byte());
}

std::string TSchemeGrammar::String() {
    if (Token() != tkString) Error(msg::SStringExpected);
    std::string value = lexer_.StringValue();
    Next();
    return value;
}

std::string TSchemeGrammar::RawString() {
    if (Token() != tkString) Error(msg::SStringExpected);
    std::string value = lexer_.TokenText();
    Next();
    return value;
}

TTE_CharGroup TSchemeGrammar::Specifier() {
    TTE_CharGroup group = SpecifierAtToken();
    Next();
    return group;
}

TTE_CharGroup TSchemeGrammar::SpecifierAtToken() {
    if (Token() != tkString) Error(msg::SStringExpected);
    const std::string& raw = lexer_.TokenText();
    TTE_CharGroup group;
    size_t pos = 0;
    try {
        group.ParseSpecifier(raw, pos);
    } catch (const ETessary& e) {
        ErrorText(e.what()); // a reversed range: give it the script position
    }
    if (pos != raw.size()) Error(msg::SSingleSpecifierExpected);
    return group;
}

uint16_t TSchemeGrammar::InternSpecifier() {
    const TTE_CharGroup group = Specifier();
    return static_cast<uint16_t>(tables_.keywords->Groups().Intern(group));
}

bool TSchemeGrammar::StarOption() {
    if (Token() != tkOpenBracket) return false;
    Next();
    const bool star = Token() == tkStar;
    if (star) Next();
    Expect(tkCloseBracket, msg::SCloseBracketExpected);
    return star;
}

uint8_t TSchemeGrammar::FontStyles() {
    try {
        Expect(tkOpenBracket, msg::SOpenBracketExpected);
        uint8_t styles = 0;
        while (AtExpr()) {
            const int32_t bit = Expr();
            // Only eight style bits exist; larger numbers are ignored.
            if (bit >= 0 && bit <= 7) styles = static_cast<uint8_t>(styles | (1u << bit));
            if (Token() == tkComma) Next();
        }
        Expect(tkCloseBracket, msg::SCloseBracketExpected);
        return styles;
    } catch (const ETES_COMP_ERROR&) {
        Error(msg::SBadFontStyle);
    }
}

TShortCut TSchemeGrammar::Modifiers() {
    if (Token() != tkOpenBracket) return 0;
    Next();
    TShortCut modifiers = 0;
    for (;;) {
        if (Token() == tkShift)
            modifiers |= kscShift;
        else if (Token() == tkCtrl)
            modifiers |= kscCtrl;
        else if (Token() == tkAlt)
            modifiers |= kscAlt;
        else if (Token() != tkComma)
            break;
        Next();
    }
    Expect(tkCloseBracket, msg::SCloseBracketExpected);
    return modifiers;
}

uint8_t TSchemeGrammar::Key() {
    if (Token() == tkString) {
        const std::string text = lexer_.StringValue();
        if (text.size() != 1) Error(msg::SSingleSpecifierExpected);
        Next();
        const char c = text[0];
        return static_cast<uint8_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    if (!AtExpr()) Error(msg::SKeySpecRequired);
    return Byte();
}

TShortCut TSchemeGrammar::KeyWithModifiers() {
    const TShortCut modifiers = Modifiers();
    return ShortCut(Key(), modifiers);
}

int32_t TSchemeGrammar::CustomRoutine() {
    Next(); // match
    Expect(tkOpenParen, msg::SOpenParenExpected);
    const int32_t routine = Expr();
    Expect(tkCloseParen, msg::SCloseParenExpected);
    tables_.customRoutines = true;
    return routine;
}

bool TSchemeGrammar::Terminator(TScanTerminator& term, bool allowRoutine) {
    term = TScanTerminator{};
    if (Token() == tkMatch) {
        term.isRoutine = 1;
        term.custom = 1;
        term.routine = CustomRoutine();
    } else if (Token() == tkString) {
        const std::string& raw = lexer_.TokenText();
        size_t pos = 0;
        while (pos < raw.size()) {
            if (term.count == TScanTerminator::kMaxGroups) Error(msg::SMaxFourSpecifiers);
            TTE_CharGroup group;
            try {
                group.ParseSpecifier(raw, pos);
            } catch (const ETessary& e) {
                ErrorText(e.what());
            }
            term.groups[term.count++] = static_cast<uint16_t>(tables_.keywords->Groups().Intern(group));
        }
        Next();
    } else if (allowRoutine && AtExpr()) {
        term.isRoutine = 1;
        term.routine = Expr();
    } else {
        return false;
    }
    term.include = Expr() != 0;
    return true;
}

} // namespace torvane::scheme
