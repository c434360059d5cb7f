// %%Language: the scheme's settings, one "keyword = value" entry at a time.

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "highlight/TabStops.h"
#include "scheme/SchemeGrammar.h"

#include <algorithm>
#include <vector>

namespace torvane::scheme {
namespace {

// Name-like settings keep at most this many characters of the script's text.
constexpr size_t kShortTextLength = 35;

// The entries of the form "keyword = value".
constexpr int kKeyValueEntries[] = {tkName,           tkCase,
                                    tkOptions,        tkExampleText,
                                    tkWordWrapColumn, tkGutter,
                                    tkAnchor,         tkIndentStep,
                                    tkWrapOverride,   tkStartState,
                                    tkSelTextColor,   tkSelTextBack,
                                    tkRightMargin,    tkFontName,
                                    tkFontSize,       tkFontCharset,
                                    tkTabColumns,     tkTabDefault,
                                    tkContextStates,  tkBoundStates,
                                    tkGutterColor,    tkMarginColor,
                                    tkMarginWidth,    tkGutterFontName,
                                    tkGutterFontSize, tkGutterFontColor,
                                    tkGutterFontStyle};

std::string Cut(std::string text, size_t length) {
    if (text.size() > length) text.resize(length);
    return text;
}

} // namespace

void TSchemeGrammar::Language() {
    SetContext("%%Language");
    SkipRepeated(tkLanguage);
    while (LanguageEntry()) {
    }
}

// Parses one entry; false when the current token starts none.
bool TSchemeGrammar::LanguageEntry() {
    TSettingsValues& v = settings_.values;
    const int keyword = Token();
    if (keyword == tkEditableStyles) {
        SetContext("%%Language - EditableStyles");
        Next();
        EditableStyles();
        return true;
    }
    if (std::find(std::begin(kKeyValueEntries), std::end(kKeyValueEntries), keyword) ==
        std::end(kKeyValueEntries))
        return false;
    SetContext("%%Language - " + lexer_.TokenText());
    Next();
    Expect(tkEquals, msg::SEqualsExpected);

    switch (keyword) {
    case tkName:
        v.languageName = Cut(String(), kShortTextLength);
        break;
    case tkCase:
        tables_.caseFlag = Expr() != 0;
        break;
    case tkOptions:
        v.options = static_cast<uint32_t>(Expr());
        break;
    case tkExampleText:
        v.exampleText = String();
        break;
    case tkWordWrapColumn:
        v.wordWrapColumn = Expr();
        break;
    case tkGutter:
        v.gutterWidth = Expr();
        break;
    case tkAnchor:
        tables_.anchor |= SetOrValue();
        break;
    case tkIndentStep: {
        const int line = lexer_.TokenLine(), column = lexer_.TokenColumn();
        v.indentStep = Expr();
        if (v.indentStep < 0 || v.indentStep > 20)
            ValueError(FormatStr<msg::SRangeError>(0, 20), line, column);
        break;
    }
    case tkWrapOverride:
        v.wrapOverride = Cut(String(), kShortTextLength);
        break;
    case tkStartState:
        tables_.startState = SetOrValue();
        break;
    case tkSelTextColor:
        v.selTextColourFlag = StarOption();
        v.selTextColour = Expr();
        break;
    case tkSelTextBack:
        v.selTextBackFlag = StarOption();
        v.selTextBack = Expr();
        break;
    case tkRightMargin:
        v.rightMargin = Expr();
        break;
    case tkFontName:
        v.fontName = String();
        break;
    case tkFontSize:
        v.fontSize = Expr();
        break;
    case tkFontCharset:
        v.fontCharSet = Byte();
        break;
    case tkTabColumns: {
        // The editor's own tab-stop syntax and checks; its errors get the
        // script position.
        if (Token() != tkString) Error(msg::SStringExpected);
        TTabStops stops;
        try {
            stops.SetColumns(lexer_.TokenText());
        } catch (const ETessary& e) {
            ErrorText(e.what());
        }
        Next();
        v.tabColumns = stops.Stops();
        break;
    }
    case tkTabDefault: {
        // A width of 0 or less would make every TAB expansion divide by
        // zero in the editor, so it is refused here as the editor refuses it.
        const int32_t width = Expr();
        TTabStops stops;
        try {
            stops.SetDefault(width);
        } catch (const ETessary& e) {
            ErrorText(e.what());
        }
        v.tabDefault = width;
        break;
    }
    case tkContextStates:
        ContextStates();
        break;
    case tkBoundStates:
        tables_.boundStates = SetOrValue();
        break;
    case tkGutterColor:
        v.gutterColourFlag = StarOption();
        v.gutterColour = Expr();
        break;
    case tkMarginColor:
        v.marginColourFlag = StarOption();
        v.marginColour = Expr();
        break;
    case tkMarginWidth:
        v.marginWidth = Expr();
        break;
    case tkGutterFontName: {
        TTE_Font font = settings_.GutterFont();
        font.name = String();
        settings_.SetGutterFont(font);
        break;
    }
    case tkGutterFontSize: {
        TTE_Font font = settings_.GutterFont();
        font.size = Expr();
        settings_.SetGutterFont(font);
        break;
    }
    case tkGutterFontColor: {
        TTE_Font font = settings_.GutterFont();
        font.colour = Expr();
        settings_.SetGutterFont(font);
        break;
    }
    case tkGutterFontStyle: {
        TTE_Font font = settings_.GutterFont();
        font.style = FontStyles();
        settings_.SetGutterFont(font);
        break;
    }
    default:
        break;
    }
    return true;
}

// contextstates = ( tokens [states] ) , ( tokens ) ...
void TSchemeGrammar::ContextStates() {
    for (;;) {
        const int line = lexer_.TokenLine(), column = lexer_.TokenColumn();
        Expect(tkOpenParen, msg::SOpenParenExpected);
        std::vector<uint8_t> tokens;
        while (AtExpr()) {
            tokens.push_back(Byte());
            if (Token() == tkComma) Next();
        }
        if (tokens.empty()) Error(msg::SExpressionExpected);
        const TStateSet states = Token() == tkOpenBracket ? Set() : TStateSet{};
        Expect(tkCloseParen, msg::SCloseParenExpected);
        for (uint8_t token : tokens) {
            if (!tables_.contextState[token].Empty())
                ValueError(FormatStr<msg::SContextRespecified>(static_cast<int>(token)), line, column);
            tables_.contextState[token] = states;
        }
        if (Token() != tkComma) break;
        Next();
    }
    // Tokens left without a set restart in the start states; which start
    // states depends on where startstate stood, so it belongs before this.
    tables_.FillContextStates();
}

// editablestyles ( 'name' , style ) , ( 'name' , style ) ...
void TSchemeGrammar::EditableStyles() {
    auto& slots = settings_.values.editable;
    for (;;) {
        Expect(tkOpenParen, msg::SOpenParenExpected);
        std::string name = String();
        Expect(tkComma, msg::SCommaExpected);
        const int32_t style = Expr();
        if (style < 0 || style > 255) Error(msg::SValueMustBeByte);
        Expect(tkCloseParen, msg::SCloseParenExpected);
        auto free =
            std::find_if(slots.begin(), slots.end(), [](const TEditableStyle& s) { return s.name.empty(); });
        if (free == slots.end()) Error(msg::STooManyEditableStyles);
        *free = TEditableStyle{Cut(std::move(name), TEditableStyle::kMaxName), static_cast<uint8_t>(style)};
        if (Token() != tkComma) break;
        Next();
    }
}

} // namespace torvane::scheme
