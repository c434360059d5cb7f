#include "scheme/SchemeCompiler.h"

#include "common/Exceptions.h"
#include "common/Stream.h"
#include "highlight/ActionCode.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace torvane;
using namespace torvane::scheme;

namespace {

// The text of the error compiling script raises, or "(no error)". Range
// errors are plain ETessary, so they are marked to tell them apart.
std::string Error(const std::string& script) {
    TTessaryParser parser;
    try {
        CompileSchemeText(parser, script);
    } catch (const ETES_COMP_ERROR& e) {
        return e.what();
    } catch (const ETessary& e) {
        return std::string("ETessary: ") + e.what();
    }
    return "(no error)";
}

std::string Frame(int line, int column, const std::string& text) {
    return "** ERROR near line " + std::to_string(line) + ", Column " + std::to_string(column) + ": " + text;
}

TStateSet States(std::initializer_list<int> members) {
    TStateSet s;
    for (int m : members)
        s.Include(m);
    return s;
}

class Grammar : public ::testing::Test {
protected:
    void Compile(const std::string& script) { CompileSchemeText(parser, script); }
    TParserTables& T() { return parser.Tables(); }
    TSettingsValues& V() { return parser.Settings().values; }
    TTessaryParser parser;
};

TEST_F(Grammar, ExpressionsEvaluateLeftToRightWithoutPrecedence) {
    Compile("%%Language\n"
            "options = 1 + 2 or 8 - 1\n" // ((1 + 2) or 8) - 1
            "gutter = 2 + (3 or 64)\n"
            "rightmargin = 0 - 1\n"
            "GutterFontColor = 2147483647 + 9\n"); // wraps to the system colour 0x80000008
    EXPECT_EQ(V().options, 10u);
    EXPECT_EQ(V().gutterWidth, 69);
    EXPECT_EQ(V().rightMargin, -1);
    EXPECT_EQ(parser.Settings().GutterFont().colour, static_cast<int32_t>(0x80000008u));
}

TEST_F(Grammar, CompileErrorsCarryTheirTextAndPosition) {
    EXPECT_EQ(Error("%%Language\r\nname = 'x'\r\n      = 3"), Frame(3, 7, "Script syntax error"));
    EXPECT_EQ(Error("%%Language\ncase = 'x'"), Frame(2, 8, "Expression expected"));
    EXPECT_EQ(Error("%%Language\ncase = (1 + 2"), Frame(2, 14, "Expression expected"));
    EXPECT_EQ(Error("%%Language name 'x'"), Frame(1, 17, "'=' expected"));
    EXPECT_EQ(Error("%%Language name = 3"), Frame(1, 19, "String value expected"));
    EXPECT_EQ(Error("%%Language startstate = [1, 2"), Frame(1, 30, "']' expected"));
    EXPECT_EQ(Error("%%Language seltextcolor = [* 5"), Frame(1, 30, "']' expected"));
    EXPECT_EQ(Error("%%Map\n1 2 3"), Frame(2, 6, "Expression expected"));
    EXPECT_EQ(Error("%%Words 'x' 'ab' 1"), Frame(1, 13, "Single character specifier expected"));
    EXPECT_EQ(Error("%%Words 'x' '[z-a]' 1"),
              Frame(1, 13, "Characters not in correct order for range specifier"));
    EXPECT_EQ(Error("%%Language\n\n  bogus"), Frame(3, 3, "Identifier \"bogus\" Unknown"));
    EXPECT_EQ(Error("1"), Frame(1, 1, "Script syntax error"));
}

TEST_F(Grammar, ValuesOutOfRangeAreRangeErrors) {
    EXPECT_EQ(Error("%%Language startstate = [1, 256]"), "ETessary: Range error, value outwith 0 .. 255");
    EXPECT_EQ(Error("%%Map 300 1"), "ETessary: Range error, value outwith 0 .. 255");
    EXPECT_EQ(Error("%%Language indentstep = 21"), "ETessary: Range error, value outwith 0 .. 20");
    EXPECT_EQ(Error("%%Language fontcharset = 256"), "ETessary: Range error, value outwith 0 .. 255");

    // The position of a range error is still recorded for the caller.
    TScriptPosition where;
    EXPECT_THROW(CompileSchemeText(parser, "%%Map\n  1 1\n  2 999 3 3", "", &where), ETessary);
    EXPECT_EQ(where.line, 2); // the value 999 itself
    EXPECT_EQ(where.column, 4);
    EXPECT_EQ(where.context, "%%Map - 2");
}

TEST_F(Grammar, AnchorStartStateAndBoundStates) {
    Compile("%%Language anchor = []");
    EXPECT_EQ(T().anchor, States({0}));
    Compile("%%Language anchor = 5 anchor = [7, 9]");
    EXPECT_EQ(T().anchor, States({5, 7, 9}));
    Compile("%%Language startstate = [1] startstate = [2, 3] boundstates = 4");
    EXPECT_EQ(T().startState, States({2, 3}));
    EXPECT_EQ(T().boundStates, States({4}));
    // Every token restarts in the start states unless contextstates says otherwise.
    EXPECT_EQ(T().contextState[200], States({2, 3}));
}

TEST_F(Grammar, LanguageSettings) {
    Compile("%%Language\n"
            "name = '123456789012345678901234567890123456789'\n"
            "case = __sensitive\n"
            "exampletext = 'a\\nb'\n"
            "seltextcolor = [*] clRed  seltextback = [] clBlue  guttercolor = clLime\n"
            "margincolor = [*] clWhite marginwidth = 3 fontname = 'Mono' fontsize = 12\n"
            "tabcolumns = '5 9' tabdefault = 3 wordwrapcolumn = 72 indentstep = 2\n"
            "GutterFontName = 'Sans' GutterFontSize = 7 GutterFontStyle = [fsBold, fsUnderline, 9]\n");
    EXPECT_EQ(V().languageName, "12345678901234567890123456789012345");
    EXPECT_EQ(T().caseFlag, 1);
    EXPECT_EQ(V().exampleText, "a\rb");
    EXPECT_EQ(V().selTextColour, 255);
    EXPECT_EQ(V().selTextColourFlag, 1);
    EXPECT_EQ(V().selTextBackFlag, 0);
    EXPECT_EQ(V().gutterColour, 65280);
    EXPECT_EQ(V().marginColourFlag, 1);
    EXPECT_EQ(V().tabColumns[0], 4);
    EXPECT_EQ(V().tabColumns[1], 8);
    EXPECT_EQ(V().tabColumns[2], -1);
    EXPECT_EQ(V().tabDefault, 3);
    EXPECT_EQ(V().indentStep, 2);
    EXPECT_EQ(parser.Settings().GutterFont().name, "Sans");
    EXPECT_EQ(parser.Settings().GutterFont().style, fsBold | fsUnderline); // 9 is no style bit

    EXPECT_EQ(Error("%%Language GutterFontStyle = [fsBold"), Frame(1, 38, "Bad font style specifier"));
    EXPECT_EQ(Error("%%Language tabcolumns = '9 5'"),
              Frame(1, 25, "Tab columns must be in order and unique"));
    EXPECT_EQ(Error("%%Language tabdefault = 0"),
              Frame(1, 26, "=Illegal default tab stop value, must be > 0"));
}

TEST_F(Grammar, EditableStylesAccumulateUpToTwentyFive) {
    std::string script = "%%Language editablestyles ('a', 1), ('b', 2)\n%%Language editablestyles ('c', 3)\n";
    Compile(script);
    EXPECT_EQ(V().editable[2].name, "c");
    EXPECT_EQ(V().editable[2].styleId, 3);
    for (int i = 3; i < 25; ++i)
        script += "%%Language editablestyles ('s', 4)\n";
    Compile(script);
    EXPECT_EQ(Error(script + "%%Language editablestyles ('z', 5)"),
              Frame(25, 35, "Too many editable styles"));
    EXPECT_EQ(Error("%%Language editablestyles ('x', 256)"), Frame(1, 36, "Value must be 0..255"));
    EXPECT_EQ(Error("%%Language editablestyles ('x' 2)"), Frame(1, 32, "',' expected"));
}

TEST_F(Grammar, ContextStates) {
    Compile("%%Language startstate = [3] contextstates = (1, 2 [5, 6]), (4), (4 [7])");
    EXPECT_EQ(T().contextState[1], States({5, 6}));
    EXPECT_EQ(T().contextState[2], States({5, 6}));
    EXPECT_EQ(T().contextState[4], States({7})); // first without a set, then with one
    EXPECT_EQ(T().contextState[9], States({3}));
    EXPECT_EQ(Error("%%Language contextstates = (1 [2]), (1 [3])"),
              "ETessary: Token value 1 re-specified in ContextState");
    // A second entry finds every token filled already.
    EXPECT_EQ(Error("%%Language contextstates = (1) contextstates = (2 [3])"),
              "ETessary: Token value 2 re-specified in ContextState");
}

TEST_F(Grammar, WordsFillTheKeywordTableAndEffects) {
    Compile("%%Words 'mov' '[^a-z]' 1  'mov' '' 2 [4]  'jmp' '' 1 [2, 3]");
    EXPECT_EQ(T().keywords->WordCount(), 3);
    ASSERT_TRUE(T().effects[1]);
    EXPECT_EQ(T().effects[1]->validIn, States({0, 2, 3}));
    EXPECT_EQ(T().effects[2]->validIn, States({0, 4}));
    EXPECT_EQ(Error("%%Words 'mov' '' 1 'MOV' '' 2"), Frame(1, 30, "Duplicate entry in %%word table"));
    EXPECT_EQ(Error("%%Words 'mov' 1"), Frame(1, 15, "String value expected"));
}

TEST_F(Grammar, TokenRules) {
    Compile("%%Tokens\n"
            "1 __STD_IDENTIFIER\n"
            "2 '[0-9]' '[0-9]' ? '[^0-9]' _discard_ [4]\n"
            "InState 3 ( 5 '[a-z]' '[a-z]' '' 0  6 '[^a-z]' '' ? '' 0 )\n");
    const TTokenRule* ident = T().globalRules['_'];
    ASSERT_NE(ident, nullptr);
    EXPECT_EQ(T().globalRules['q'], ident);
    EXPECT_EQ(T().globalRules['0'], T().globalRules['9']);
    EXPECT_NE(T().globalRules['0'], ident);
    EXPECT_TRUE(ident->start.isRoutine);
    EXPECT_EQ(ident->start.routine, 10);
    const TTokenRule* number = T().globalRules['7'];
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->states, States({0, 4}));
    EXPECT_EQ(number->body.repeat, 1);
    EXPECT_EQ(number->term.count, 1);
    EXPECT_EQ(number->term.include, 0);
    EXPECT_EQ(T().effects[2]->validIn, States({0, 4}));
    // The state table has its own start set, which may overlap the global one.
    ASSERT_TRUE(T().stateTables[3]);
    EXPECT_EQ(T().stateTables[3]->rules['x']->token, 5);
    EXPECT_EQ(T().stateTables[3]->rules['7']->token, 6); // a negated group enters its complement
    EXPECT_EQ(T().stateTables[3]->rules[13]->token, 6);
    EXPECT_EQ(T().effects[5]->validIn, States({3}));
    EXPECT_FALSE(T().noStateTables);
    EXPECT_TRUE(T().stateTableSet.Contains(3));

    EXPECT_EQ(Error("%%Tokens 1 'a' 'b' 'c' 0\n2 '[a-c]' 'x' 'y' 0"),
              Frame(2, 3, "Ambigious start set in %%token table"));
    EXPECT_EQ(Error("%%Tokens 1 9"), Frame(1, 13, "Script syntax error"));
    EXPECT_EQ(Error("%%Tokens 1 'a' ]"), Frame(1, 16, "Script syntax error"));
    EXPECT_EQ(Error("%%Tokens InState 2 1 'a' 'b' 'c' 0"), Frame(1, 20, "'(' expected"));
}

TEST_F(Grammar, HandlersAndCustomRoutines) {
    Compile("%%Handlers 7 '[a-z]' ? '[:][=]' _use_   8 __STD_NUMBER   9 match(4) ?");
    ASSERT_TRUE(T().handlers[7]);
    EXPECT_EQ(T().handlers[7]->body.repeat, 1);
    EXPECT_EQ(T().handlers[7]->term.count, 2);
    EXPECT_EQ(T().handlers[7]->term.include, 1);
    EXPECT_EQ(T().handlers[8]->body.routine, 16);
    EXPECT_FALSE(T().handlers[8]->term.Present());
    EXPECT_EQ(T().handlers[9]->body.custom, 1);
    EXPECT_TRUE(T().customRoutines);
    EXPECT_FALSE(parser.CanHighlight()); // no custom-parse event is set

    EXPECT_EQ(Error("%%Handlers 1 'a' 'abcde' 1"), Frame(1, 18, "Maximum of 4 character specifier allowed"));
    EXPECT_EQ(Error("%%Handlers 1 'a' 1 'b'"), Frame(1, 20, "Duplicate entry in %%handler table"));
    EXPECT_EQ(Error("%%Handlers 1 match 3"), Frame(1, 20, "'(' expected"));
}

TEST_F(Grammar, MapAndEffects) {
    Compile("%%Map 1 5 2 6\n"
            "%%Effects\n"
            "0 [] clBlack * clWhite *\n"
            "5 [fsBold, fsItalic] clRed clWhite *\n"
            "6 [] clBlue clWhite 'HotSpot'\n"
            "0 [fsUnderline] clGreen clWhite\n");
    EXPECT_EQ(parser.Settings().StyleOfToken(1), 5);
    const TTE_Style& five = parser.Settings().GetStyle(5);
    EXPECT_EQ(five.fontStyle, fsBold | fsItalic);
    EXPECT_EQ(five.foreground, 255);
    EXPECT_EQ(five.background, 0xFFFFFF);
    EXPECT_EQ(five.fgDefault, 0);
    EXPECT_EQ(five.bgDefault, 1);
    EXPECT_TRUE(five.defined);
    EXPECT_EQ(parser.Settings().GetStyle(6).hotspot, 1);
    EXPECT_EQ(parser.Settings().GetStyle(0).fontStyle, fsUnderline); // style 0 may be restated

    EXPECT_EQ(Error("%%Effects 5 [] 1 2\n5 [] 1 2"), Frame(2, 3, "Duplicate %%effect entry"));
    EXPECT_EQ(Error("%%Effects 5 1 2 3"), Frame(1, 13, "Bad font style specifier"));
    // A string other than hotspot is not part of the entry.
    EXPECT_EQ(Error("%%Effects 5 [] 1 2 'bold'"), Frame(1, 20, "Script syntax error"));
}

TEST_F(Grammar, StatesAndContainers) {
    Compile("%%States\n"
            "1 ( + [2] - [3] )\n"
            "2 push ( + 4 )\n"
            "3 pop ( ) push\n"
            "4 ( + 5 ) pop\n"
            "5 ( )\n"
            "%%Containers 6 ( + 7 )\n");
    const auto& e = T().effects;
    EXPECT_EQ(e[1]->add, States({2}));
    EXPECT_EQ(e[1]->remove, States({3}));
    EXPECT_EQ(e[1]->keep, 0);
    EXPECT_EQ(e[1]->validIn, States({0}));
    EXPECT_EQ(e[2]->stack, kPushBefore);
    EXPECT_EQ(e[3]->stack, kPushAfter); // the keyword after the clauses wins
    EXPECT_EQ(e[4]->stack, kPopAfter);
    EXPECT_TRUE(e[4]->add.Empty());
    EXPECT_EQ(e[4]->keep, 1);
    EXPECT_EQ(e[5]->keep, 1);
    EXPECT_EQ(e[6]->container, 1);
    EXPECT_EQ(e[6]->add, States({7}));
    // "+ 1 - 2" is one expression, -1.
    EXPECT_EQ(Error("%%States 1 ( + 1 - 2 )"), "ETessary: Range error, value outwith 0 .. 255");
    EXPECT_EQ(Error("%%States 1 ( + 1"), Frame(1, 17, "')' expected"));
}

TEST_F(Grammar, KeysReplaceTheKeyMap) {
    Compile("%%Keys\n"
            "caUP ( [ctrl] UP | DOWN ) 'Line up'\n"
            "caUNDO ( [ctrl, shift] 'z' | [alt] 'k', 'u' )\n");
    const auto bindings = parser.Settings().KeyMap().AllBindings();
    using B = TKeyboardActionContoller::Binding;
    EXPECT_EQ(bindings,
              (std::vector<B>{
                  {38 + 16384, 0, 4}, {40, 0, 4}, {'Z' + 16384 + 8192, 0, 41}, {'K' + 32768, 'U', 41}}));
    EXPECT_EQ(parser.Settings().KeyMap().GetName(4), "Line up");

    // Columns count the characters of macro texts too: caUP reads as 4 and
    // UP as 38, so the name stands 3 columns further right than it looks.
    EXPECT_EQ(Error("%%Keys caUP ( UP ) ''"), Frame(1, 23, "Key function name cannot be blank"));
    EXPECT_EQ(Error("%%Keys caUP ( 'up' )"), Frame(1, 16, "Single character specifier expected"));
    EXPECT_EQ(Error("%%Keys caUP ( [shift] )"), Frame(1, 24, "Key specification required"));
    EXPECT_EQ(Error("%%Keys caUP ( 256 )"), "ETessary: Range error, value outwith 0 .. 255");
}

TEST_F(Grammar, AutoReplaceTemplatesAndKeywordTables) {
    Compile("%%AutoReplace 'teh' = 'the' actionkeys = ' ;'\n"
            "%%Templates 'isr' ('service routine') = 'push acc\\n|' hotkey = ( [ctrl] 'T' )\n"
            "%%KwTables forstate [] endswith '[^a-z]' ( 1 is 'foo', 'bar' 2 is 'baz' )\n");
    ASSERT_NE(parser.Settings().AutoReplace().FindMacro("teh"), nullptr);
    EXPECT_EQ(parser.Settings().AutoReplace().FindMacro("teh")->expansion, "the");
    EXPECT_EQ(parser.Settings().AutoReplace().TriggerText(), " ;");
    const TMacro* isr = parser.Settings().CodeTemplates().FindMacro("isr");
    ASSERT_NE(isr, nullptr);
    EXPECT_EQ(isr->description, "service routine");
    EXPECT_EQ(isr->expansion, "push acc\r|");
    EXPECT_EQ(parser.Settings().CodeTemplates().TriggerKey(), 'T' + 16384);
    const auto tables = parser.Settings().UserTables().Tables();
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0]->states, States({0}));
    EXPECT_EQ(tables[0]->followGroup, "[^a-z]");
    ASSERT_EQ(tables[0]->words.size(), 3u);
    EXPECT_EQ(tables[0]->words[2].text, "baz");
    EXPECT_EQ(tables[0]->words[2].token, 2);
    Compile("%%Templates hotkey = [alt] ( [shift] 74 )");
    EXPECT_EQ(parser.Settings().CodeTemplates().TriggerKey(), 'J' + 32768 + 8192);

    EXPECT_EQ(Error("%%KwTables forstate [] '[^a-z]' ( )"), Frame(1, 24, "'endswith' expected"));
    EXPECT_EQ(Error("%%KwTables forstate [] endswith '' ( 1 'x' )"), Frame(1, 40, "'is' expected"));
    EXPECT_EQ(Error("%%KwTables forstate 1 endswith '' ( )"), Frame(1, 21, "'[' expected"));
    EXPECT_EQ(Error("%%KwTables forstate [1] endswith '' () forstate [1, 2] endswith '' ()"),
              Frame(1, 70, "Ambigious key table state definition"));
}

TEST_F(Grammar, PositionAndContextAreKeptAfterSuccessAndFailure) {
    TScriptPosition where;
    EXPECT_THROW(CompileSchemeText(parser, "%%Tokens\n1 'a' 'b' 'c' 0\n\n   2 'b'", "", &where),
                 ETES_COMP_ERROR);
    EXPECT_EQ(where.line, 3);
    EXPECT_EQ(where.column, 8); // the end of the input, where the body is missing
    EXPECT_EQ(where.context, "%%Tokens - 2");
    // The tables keep what was filled before the error.
    EXPECT_NE(T().globalRules['a'], nullptr);
}

// A minimal editor: counts how often the parser asks it to re-scan.
class CountingClient final : public TParserClient {
public:
    void ReselectParser(TTessaryParser&) override { ++reselected; }
    void GutterFontChanged() override {}
    int reselected = 0;
};

TEST_F(Grammar, CompileScriptThroughTheInstalledCompiler) {
    const std::string path = ::testing::TempDir() + "grammar_compile_script.tsc";
    {
        TFileStream file(path, TFileStream::fmCreate);
        const std::string script = "%%Words 'go' '' 3\n%%Map 3 1";
        file.WriteBuffer(script.data(), script.size());
    }
    InstallSchemeCompiler();
    CountingClient editor;
    TStringCursor cursor("go");
    int32_t length = 0;
    parser.NextToken(&editor, cursor, length); // registers the editor
    parser.script = path;
    ASSERT_TRUE(parser.CompileScript());
    EXPECT_EQ(editor.reselected, 1);
    EXPECT_EQ(parser.Settings().StyleOfToken(3), 1);
    TStringCursor again("go");
    parser.ResetState(0);
    EXPECT_EQ(parser.NextToken(&editor, again, length), 3);
    EXPECT_EQ(length, 2);
    parser.RemoveClient(&editor);
    std::remove(path.c_str());
}

} // namespace

TEST_F(Grammar, DeepNestingIsAPositionedErrorNotACrash) {
    constexpr int kDepth = 200000;
    const std::string deep =
        "%%Language\r\noptions = " + std::string(kDepth, '(') + "1" + std::string(kDepth, ')');
    // The level past the limit is refused where its parenthesis stands.
    EXPECT_EQ(Error(deep), Frame(2, 1011, "Expression nested deeper than 1000 levels"));

    const std::string fine = std::string(1000, '(') + "7" + std::string(1000, ')');
    Compile("%%Language\r\noptions = " + fine);
    EXPECT_EQ(V().options, 7u);
}
