// The sections after %%Language: keywords, keyword tables, handlers, token
// rules, style map and effects, state changes, containers, keys,
// auto-replace and code templates.

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "highlight/Tokenizer.h"
#include "scheme/SchemeGrammar.h"

#include <algorithm>

namespace torvane::scheme {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// The first characters a built-in start routine (10..20) accepts.
TTE_CharGroup StartRoutineGroup(int32_t routine) {
    TTE_CharGroup g;
    const auto digits = [&g] { g.AddRange('0', '9'); };
    const auto letters = [&g] {
        g.AddRange('A', 'Z');
        g.AddRange('a', 'z');
    };
    switch (routine) {
    case 10: // identifier
        letters();
        g.AddChar('_');
        break;
    case 11: // number or floating point
        g.AddChar('.');
        digits();
        break;
    case 12: // Pascal string
    case 14: // C character
    case 20: // C string in single quotes
        g.AddChar('\'');
        break;
    case 13: // C string
    case 18: // HTML string
        g.AddChar('"');
        break;
    case 15: // signed number
        g.AddChar('+');
        g.AddChar('-');
        g.AddChar('.');
        digits();
        break;
    case 16: // digits
        digits();
        break;
    case 17: // mail address or URL
        digits();
        letters();
        break;
    case 19: // line comment
        g.AddChar('/');
        break;
    default:
        break;
    }
    return g;
}

} // namespace

// ---- %%Words -------------------------------------------------------------------
// 'word' 'follow' token [states]

void TSchemeGrammar::Words() {
    SetContext("%%Words");
    SkipRepeated(tkWords);
    while (Token() == tkString) {
        const std::string word = String();
        if (Token() == tkString) context_ = "%%Words - " + lexer_.TokenText();
        const TTE_CharGroup follow = Specifier();
        const uint8_t token = Byte();
        const TStateSet states = Token() == tkOpenBracket ? Set() : StateSetOf(0);
        // The compiled scheme stores a word with an 8-bit length.
        if (word.size() > 255) ErrorText(FormatStr<msg::SKeywordTooLong>(word.c_str()));
        try {
            tables_.keywords->AddKeyword(word, tables_.caseFlag, token, states, follow);
        } catch (const EKeywords&) {
            Error(msg::SDuplicateWordEntry);
        }
        tables_.EnsureEffect(token, states);
    }
}

// ---- %%KwTables ----------------------------------------------------------------
// forstate [states] endswith 'follow' ( token is 'word', 'word' ... token is ... )

void TSchemeGrammar::KwTables() {
    SetContext("%%KwTables");
    SkipRepeated(tkKwTables);
    for (int entry = 1; Token() == tkForState; ++entry) {
        SetContext("%%KwTables", entry);
        Next();
        if (Token() != tkOpenBracket) Error(msg::SOpenBracketExpected);
        TUserKeywordTable table;
        table.states = Set();
        if (table.states.Empty()) table.states = StateSetOf(0);
        Expect(tkEndsWith, msg::SScriptEndsWithExpected);
        table.followGroup = RawString();
        Expect(tkOpenParen, msg::SOpenParenExpected);
        while (AtExpr()) {
            const uint8_t token = Byte();
            Expect(tkIs, msg::SScriptIsExpected);
            do {
                table.words.push_back({RawString(), token});
                if (Token() == tkComma) Next();
            } while (Token() == tkString);
        }
        Expect(tkCloseParen, msg::SCloseParenExpected);
        table.caseFlag = tables_.caseFlag;
        try {
            settings_.AddUserKeywordTable(std::move(table));
        } catch (const ETessary& e) {
            ErrorText(e.what()); // overlapping states, a bad specifier, a repeated word
        }
    }
}

// ---- %%Handlers ----------------------------------------------------------------
// token body [?] [terminator include]; body = match(n) | 'specifier' | routine

void TSchemeGrammar::Handlers() {
    SetContext("%%Handlers");
    SkipRepeated(tkHandlers);
    for (int entry = 1; AtExpr(); ++entry) {
        SetContext("%%Handlers", entry);
        const uint8_t token = Byte();
        if (tables_.handlers[token]) Error(msg::SDuplicateHandlerEntry);
        TTokenHandler& handler = tables_.Handler(token);
        bool custom = false;
        if (Token() == tkMatch) {
            handler.body.isRoutine = 1;
            handler.body.custom = 1;
            handler.body.routine = CustomRoutine();
            custom = true;
        } else if (Token() == tkString) {
            handler.body.group = InternSpecifier();
        } else {
            handler.body.isRoutine = 1;
            handler.body.routine = Expr();
        }
        if (Token() == tkQuestion) {
            handler.body.repeat = 1;
            Next();
        }
        if (!custom) Terminator(handler.term, false);
    }
}

// ---- %%Tokens ------------------------------------------------------------------
// token start body [?] [terminator include] [states], globally or inside
// InState state ( rules )

void TSchemeGrammar::Tokens() {
    SetContext("%%Tokens");
    SkipRepeated(tkTokens);
    for (;;) {
        if (Token() == tkInState) {
            Next();
            const uint8_t state = Byte();
            TStateTable& table = tables_.StateTable(state);
            Expect(tkOpenParen, msg::SOpenParenExpected);
            while (AtExpr())
                Rule(&table, state);
            Expect(tkCloseParen, msg::SCloseParenExpected);
        } else if (AtExpr()) {
            Rule(nullptr, 0);
        } else {
            return;
        }
    }
}

void TSchemeGrammar::Rule(TStateTable* table, uint8_t defaultState) {
    TTokenRule& rule = tables_.NewRule();
    rule.token = Byte();
    SetContext("%%Tokens", rule.token);
    TTE_CharGroup first;
    if (Token() == tkString) {
        first = SpecifierAtToken();
        CheckStartSet(first, table);
        Next();
        rule.start.group = static_cast<uint16_t>(tables_.keywords->Groups().Intern(first));
        bool custom = false;
        if (Token() == tkMatch) {
            rule.body.isRoutine = 1;
            rule.body.custom = 1;
            rule.body.routine = CustomRoutine();
            custom = true;
        } else if (Token() == tkString) {
            rule.body.group = InternSpecifier();
        } else if (AtExpr()) {
            rule.body.isRoutine = 1;
            rule.body.routine = Expr();
        } else {
            Error(msg::SScriptSyntaxError);
        }
        if (!custom) {
            if (Token() == tkQuestion) {
                rule.body.repeat = 1;
                Next();
            }
            Terminator(rule.term, true);
        }
    } else {
        const int32_t routine = Expr();
        if (routine < TTokenizer::kFirstStartRoutine || routine > TTokenizer::kLastStartRoutine)
            Error(msg::SScriptSyntaxError);
        first = StartRoutineGroup(routine);
        CheckStartSet(first, table);
        rule.start.group = static_cast<uint16_t>(tables_.keywords->Groups().Intern(first));
        rule.start.isRoutine = 1;
        rule.start.routine = routine;
    }
    rule.states = StateSetOf(defaultState);
    if (Token() == tkOpenBracket) rule.states |= Set();

    if (!tables_.effects[rule.token]) {
        tables_.effects[rule.token] = std::make_unique<TTokenEffect>();
        tables_.effects[rule.token]->validIn = rule.states;
    } else {
        tables_.effects[rule.token]->validIn |= rule.states;
    }
    EnterRule(rule, first, table);
}

void TSchemeGrammar::CheckStartSet(const TTE_CharGroup& first, const TStateTable* table) const {
    const TRuleTable& slots = table ? table->rules : tables_.globalRules;
    for (int c = 0; c < 256; ++c)
        if (first.Contains(static_cast<uint8_t>(c)) && slots[c]) Error(msg::SAmbiguousStartSet);
}

// The start set was checked when it was read, and nothing enters the table
// in between, so every slot is free.
void TSchemeGrammar::EnterRule(const TTokenRule& rule, const TTE_CharGroup& first, TStateTable* table) {
    for (int c = 0; c < 256; ++c)
        if (first.Contains(static_cast<uint8_t>(c))) tables_.EnterRule(rule, static_cast<uint8_t>(c), table);
}

// ---- %%Map and %%Effects -------------------------------------------------------

void TSchemeGrammar::Map() {
    SetContext("%%Map");
    SkipRepeated(tkMap);
    for (int entry = 1; AtExpr(); ++entry) {
        SetContext("%%Map", entry);
        const uint8_t token = Byte();
        settings_.values.map[token] = Byte();
    }
}

// style [font styles] foreground [*] background [*] ['hotspot']
void TSchemeGrammar::Effects() {
    SetContext("%%Effects");
    SkipRepeated(tkEffects);
    for (int entry = 1; AtExpr(); ++entry) {
        SetContext("%%Effects", entry);
        const uint8_t id = Byte();
        // Style 0 is always defined; a script may restate it.
        if (id != 0 && settings_.GetStyle(id).defined) Error(msg::SDuplicateEffectEntry);
        TTE_Style style;
        style.fontStyle = FontStyles();
        style.foreground = Expr();
        if (Token() == tkStar) {
            style.fgDefault = 1;
            Next();
        }
        style.background = Expr();
        if (Token() == tkStar) {
            style.bgDefault = 1;
            Next();
        }
        if (Token() == tkString && EqualsIgnoringCase(lexer_.StringValue(), "hotspot")) {
            style.hotspot = 1;
            Next();
        }
        style.defined = 1;
        settings_.SetStyle(id, style);
    }
}

// ---- %%States and %%Containers -------------------------------------------------
// token [push|pop] ( + set-or-value - set-or-value ... ) [push|pop]

void TSchemeGrammar::States(bool containers) {
    const char* section = containers ? "%%Containers" : "%%States";
    SetContext(section);
    SkipRepeated(containers ? tkContainers : tkStates);
    for (int entry = 1; AtExpr(); ++entry) {
        SetContext(section, entry);
        const uint8_t token = Byte();
        TTokenEffect& effect = tables_.EnsureEffect(token, TStateSet{});
        if (containers) {
            Clauses(effect);
            effect.container = 1;
            continue;
        }
        uint8_t stack = 0;
        if (Token() == tkPush || Token() == tkPop) {
            stack = Token() == tkPush ? kPushBefore : kPopBefore;
            Next();
        }
        Clauses(effect);
        if (Token() == tkPush || Token() == tkPop) {
            // A keyword after the clauses replaces one before them.
            stack = Token() == tkPush ? kPushAfter : kPopAfter;
            Next();
        }
        if (stack == kPopAfter) {
            // The popped states replace whatever the token would change.
            effect.add.Clear();
            effect.remove.Clear();
            effect.keep = 1;
        }
        effect.stack = stack;
    }
}

void TSchemeGrammar::Clauses(TTokenEffect& effect) {
    Expect(tkOpenParen, msg::SOpenParenExpected);
    for (;;) {
        if (Token() == tkPlus) {
            Next();
            effect.add |= SetOrValue();
        } else if (Token() == tkMinus) {
            Next();
            effect.remove |= SetOrValue();
        } else {
            break;
        }
    }
    Expect(tkCloseParen, msg::SCloseParenExpected);
    effect.keep = effect.add.Empty() && effect.remove.Empty();
}

// ---- %%Keys --------------------------------------------------------------------
// command ( [mods] key [, key] | ... ) ['name']

void TSchemeGrammar::Keys() {
    SetContext("%%Keys");
    SkipRepeated(tkKeys);
    TKeyboardActionContoller& keys = settings_.KeyMap();
    keys.Clear();
    for (int entry = 1; AtExpr(); ++entry) {
        SetContext("%%Keys", entry);
        const int32_t command = Expr();
        if (Token() == tkOpenParen) {
            Next();
            for (;;) {
                const TShortCut first = KeyWithModifiers();
                TShortCut second = 0;
                if (Token() == tkComma) {
                    Next();
                    second = Key();
                }
                try {
                    keys.AddKey(first, second, command);
                } catch (const ETessary& e) {
                    ErrorText(e.what()); // the binding is taken already
                }
                if (Token() != tkBar) break;
                Next();
            }
            Expect(tkCloseParen, msg::SCloseParenExpected);
        }
        if (Token() == tkString) {
            const std::string name = lexer_.StringValue();
            if (name.empty()) Error(msg::SKeyNameBlank);
            keys.SetName(command, name);
            Next();
        }
    }
}

// ---- %%AutoReplace and %%Templates ---------------------------------------------

// Reads the expansion text and adds the macro; a name too long for the
// stream form is reported at the text.
void TSchemeGrammar::AddMacro(TMacroKeywords& table, const std::string& name,
                              const std::string& description) {
    if (Token() != tkString) Error(msg::SStringExpected);
    try {
        table.AddMacro(name, description, 0, lexer_.StringValue());
    } catch (const ETessary& e) {
        ErrorText(e.what());
    }
    Next();
}

void TSchemeGrammar::AutoReplace() {
    SetContext("%%AutoReplace");
    SkipRepeated(tkAutoReplace);
    TAutoReplace& table = settings_.AutoReplace();
    table.ClearMacros();
    for (;;) {
        if (Token() == tkString) {
            const std::string word = String();
            Expect(tkEquals, msg::SEqualsExpected);
            AddMacro(table, word, "");
        } else if (Token() == tkActionKeys) {
            Next();
            Expect(tkEquals, msg::SEqualsExpected);
            const std::string keys = RawString();
            try {
                table.SetTriggerText(keys);
            } catch (const ETessary& e) {
                ErrorText(e.what());
            }
        } else {
            return;
        }
    }
}

void TSchemeGrammar::Templates() {
    SetContext("%%Templates");
    SkipRepeated(tkTemplates);
    TCodeTemplates& templates = settings_.CodeTemplates();
    templates.ClearMacros();
    for (;;) {
        if (Token() == tkString) {
            const std::string name = String();
            std::string description;
            if (Token() == tkOpenParen) {
                Next();
                description = String();
                Expect(tkCloseParen, msg::SCloseParenExpected);
            }
            Expect(tkEquals, msg::SEqualsExpected);
            AddMacro(templates, name, description);
        } else if (Token() == tkHotKey) {
            Next();
            Expect(tkEquals, msg::SEqualsExpected);
            // The modifiers may stand before the parenthesis or inside it.
            const TShortCut outer = Modifiers();
            Expect(tkOpenParen, msg::SOpenParenExpected);
            templates.SetTriggerKey(KeyWithModifiers() | outer);
            Expect(tkCloseParen, msg::SCloseParenExpected);
        } else {
            return;
        }
    }
}

} // namespace torvane::scheme
