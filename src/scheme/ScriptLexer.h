#pragma once
// TTES_Compiler, lexer side: reads a scheme script, runs its preprocessor and
// hands a section grammar one token at a time.
//
// The script language has no free identifiers: every word is a keyword or a
// macro, and a word that is neither is an error. Colours, styles, commands,
// keys and option bits are predefined macros that expand to numbers.
//
// Between tokens the lexer skips, until none applies:
//   - blanks, tabs, character 160 and line ends;
//   - directives: '#' and one of define, ifdef, ifndef, else, endif, include
//     (case-sensitive; any other '#' is an unknown character);
//   - comments: /* ... */ (not nested, an open one runs to the end of input)
//     and // to the end of the line;
//   - macro uses: a word that names a macro is replaced by its text, read as
//     a source of its own; a macro (or included file) that is already being
//     read raises "Recursive expansion of macro '%s'".
// Directives:
//   #define NAME text    the rest of the line, right-trimmed; a text equal to
//                        its name is ignored; no effect while skipping
//   #ifdef / #ifndef N   skip unless N is (is not) a macro; nest
//   #else / #endif       flip / end the innermost condition
//   #include "f" | <f>   read file f (<f> inside the include directory; a
//                        relative "f" beside the including file first)
// Tokens: a keyword (longest match, case-insensitive, see TesToken), a
// 'string' with backslash escapes and line continuation, a decimal number
// (digits only), or the end of input. While a condition skips, tokens are
// read and dropped.
//
// Positions: the line counter counts every line end read in any source
// (macro texts and included files too) and the column counter every
// character since the last line end. Errors about a token point at its first
// character; errors inside a directive at the point where it went wrong. Every
// error is ETES_COMP_ERROR "** ERROR near line %d, Column %d: %s" (1-based).
//
// Guarantees on any input: the lexer ends (each token consumes input, macro
// recursion is refused, and the total text brought in by macros and includes
// is capped at kMaxExpansionBytes) and fails only with ETES_COMP_ERROR.

#include "common/Stream.h"
#include "scheme/WordStore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace torvane::scheme {

// Token codes handed to the grammar.
enum TesToken : int {
    tkLanguage = 20,       // %%language
    tkName = 21,           // name
    tkCase = 22,           // case
    tkOptions = 23,        // options
    tkWords = 24,          // %%words
    tkEquals = 25,         // =
    tkHandlers = 26,       // %%handler, %%handlers
    tkTokens = 27,         // %%tokens
    tkMap = 28,            // %%map
    tkEffects = 29,        // %%effects
    tkExampleText = 33,    // exampletext
    tkEditableStyles = 34, // editablestyles
    tkOpenParen = 35,      // (
    tkCloseParen = 36,     // )
    tkComma = 37,          // ,
    tkPlus = 38,           // +
    tkMinus = 39,          // -
    tkOpenBracket = 40,    // [
    tkCloseBracket = 41,   // ]
    tkQuestion = 42,       // ?
    tkWordWrapColumn = 43, // wordwrapcolumn
    tkGutter = 44,         // gutter
    tkAnchor = 45,         // anchor
    tkStates = 46,         // %%states
    tkIndentStep = 47,     // indentstep
    tkWrapOverride = 48,   // wrapoverride
    tkContainers = 49,     // %%containers
    tkKeys = 50,           // %%keys
    tkShift = 51,          // shift
    tkCtrl = 52,           // ctrl
    tkAlt = 53,            // alt
    tkStartState = 54,     // startstate
    tkSelTextColor = 55,   // seltextcolor
    tkSelTextBack = 56,    // seltextback
    tkRightMargin = 57,    // rightmargin
    tkFontName = 58,       // fontname
    tkFontSize = 59,       // fontsize
    tkTabColumns = 60,     // tabcolumns
    tkTabDefault = 61,     // tabdefault
    tkContextStates = 62,  // contextstates
    tkInState = 63,        // InState
    tkBoundStates = 64,    // boundstates
    tkGutterColor = 65,    // guttercolor
    tkMatch = 66,          // match
    tkBar = 67,            // |
    tkAutoReplace = 68,    // %%autoreplace
    tkTemplates = 69,      // %%templates
    tkMarginColor = 70,    // margincolor
    tkMarginWidth = 71,    // marginwidth
    tkStar = 72,           // *
    tkActionKeys = 73,     // actionkeys
    tkHotKey = 74,         // hotkey
    tkKwTables = 75,       // %%kwTables
    tkForState = 76,       // forstate
    tkEndsWith = 77,       // endswith
    tkIs = 78,             // is
    tkPush = 79,           // push
    tkPop = 80,            // pop
    tkOr = 81,             // or
    tkFontCharset = 82,    // fontcharset
    tkIdentifier = 90,     // a word that is neither keyword nor macro (NextToken raises)
    tkNumber = 91,
    tkString = 92,
    tkEndOfInput = 93,
    tkUnknown = 94,         // any other character (NextToken raises)
    tkGutterFontName = 95,  // GutterFontName
    tkGutterFontSize = 96,  // GutterFontSize
    tkGutterFontColor = 97, // GutterFontColor
    tkGutterFontStyle = 98, // GutterFontStyle
};

class TTES_Compiler {
public:
    // Upper bound on the bytes of the script itself, and on the bytes that
    // macro expansions and included files may bring in during one compilation.
    static constexpr size_t kMaxExpansionBytes = size_t{4} << 20;

    // Reads the script from the stream's current position to its end and
    // moves to the first token (directives and comments before it run now,
    // so this may already raise ETES_COMP_ERROR).
    TTES_Compiler(TStream& script, std::string includeDirectory);
    TTES_Compiler(std::string scriptText, std::string includeDirectory);
    TTES_Compiler(const TTES_Compiler&) = delete;
    TTES_Compiler& operator=(const TTES_Compiler&) = delete;

    // Reads the next token and returns its code (see TesToken); an identifier
    // or unknown character raises ETES_COMP_ERROR instead.
    int NextToken();
    int Token() const noexcept { return token_; }
    // The value of the last number token.
    int32_t NumberValue() const noexcept { return number_; }
    // The last string token with its escapes resolved.
    std::string StringValue() const { return ResolveEscapes(stringRaw_); }
    // The last token as written (a string without its quotes, unresolved).
    const std::string& TokenText() const noexcept { return tokenText_; }

    // Raises ETES_COMP_ERROR with the message, placed at the last token.
    [[noreturn]] void CompileError(const std::string& message) const;

    // Where the last token started, 0-based.
    int TokenLine() const noexcept { return tokenLine_; }
    int TokenColumn() const noexcept { return tokenColumn_; }

    // Resolves \b \e \n(13) \r(10) \s \t, octal \101, hex \x41, a trailing
    // backslash (dropped) and any other escaped character (kept).
    static std::string ResolveEscapes(std::string_view raw);

private:
    struct Source {
        std::string name; // lower-case macro name, "-file-: " lower-case path, or empty for the script
        std::string text;
        size_t pos = 0;
        std::string directory; // of the file this text comes from: where its "..." includes are looked up
    };
    static constexpr int kEnd = -1;

    // Character access. Peek() drops exhausted sources (so reading goes on
    // in the enclosing one); CurrentChar() and NextChar() look only at the
    // current source.
    int Peek();
    int CurrentChar() const;
    int NextChar() const;
    void Advance();
    std::string ReadWordInSource();

    void SkipBetweenTokens();
    bool TryDirective();
    void SkipInlineBlanks();
    void SkipRestOfLine();
    void DefineDirective();
    void IfDirective(bool wantDefined);
    void ElseDirective();
    void EndifDirective();
    void IncludeDirective();
    void PushSource(std::string name, std::string text, std::string directory);
    void PopSource();
    // Where #include "name" finds its file: beside the including file first,
    // then as given (relative to the current folder).
    std::string QuotedIncludePath(const std::string& name) const;

    int ReadToken();
    void ReadStringToken();

    [[noreturn]] void ErrorHere(const std::string& message) const;
    [[noreturn]] void ExpansionTooLarge() const;
    [[noreturn]] void ErrorAt(int line, int column, const std::string& message) const;

    std::string includeDirectory_;
    std::vector<Source> sources_;
    // Names of the sources being read, so that a recursion check costs the
    // same however deep macros are nested.
    std::unordered_set<std::string> activeSources_;
    int line_ = 0;
    int column_ = 0;
    int previousChar_ = kEnd;
    size_t expandedBytes_ = 0;

    bool skipping_ = false;
    std::vector<bool> conditions_; // per open #ifdef/#ifndef: was the enclosing region skipping

    int token_ = 0;
    int tokenLine_ = 0;
    int tokenColumn_ = 0;
    int32_t number_ = 0;
    bool numberTooLarge_ = false;
    int unknownChar_ = 0;
    std::string tokenText_;
    std::string stringRaw_;

    TWordStore macros_;
    TWordStore keywords_;
};

// The keyword table and the predefined macros (ScriptTables.cpp).
void AddScriptKeywords(TWordStore& keywords);
void AddPredefinedMacros(TWordStore& macros);

} // namespace torvane::scheme
