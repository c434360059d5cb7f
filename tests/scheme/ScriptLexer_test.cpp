#include "scheme/ScriptLexer.h"

#include "common/Exceptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace torvane;
using namespace torvane::scheme;

namespace {

// Every token code up to the end of input.
std::vector<int> Tokens(const std::string& script, const std::string& includeDir = "") {
    TTES_Compiler lexer(script, includeDir);
    std::vector<int> codes;
    for (int code = lexer.NextToken(); code != tkEndOfInput; code = lexer.NextToken())
        codes.push_back(code);
    return codes;
}

// The message of the error that lexing the whole script raises.
std::string Error(const std::string& script, const std::string& includeDir = "") {
    try {
        Tokens(script, includeDir);
    } catch (const ETES_COMP_ERROR& e) {
        return e.what();
    }
    return "(no error)";
}

std::vector<int32_t> Numbers(const std::string& script) {
    TTES_Compiler lexer(script, "");
    std::vector<int32_t> values;
    for (int code = lexer.NextToken(); code != tkEndOfInput; code = lexer.NextToken()) {
        EXPECT_EQ(code, tkNumber);
        values.push_back(lexer.NumberValue());
    }
    return values;
}

std::string FirstString(const std::string& script) {
    TTES_Compiler lexer(script, "");
    EXPECT_EQ(lexer.NextToken(), tkString);
    return lexer.StringValue();
}

class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("torvane_lexer_" + std::to_string(reinterpret_cast<uintptr_t>(this)) + "_" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string Write(const std::string& name, const std::string& content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
        return (path_ / name).string();
    }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

} // namespace

TEST(ScriptLexer, KeywordsIgnoreCaseAndTakeTheLongestMatch) {
    EXPECT_EQ(Tokens("%%Language %%LANGUAGE %%language"), (std::vector<int>{20, 20, 20}));
    EXPECT_EQ(Tokens("%%handler %%handlers INSTATE gutterfontstyle %%kwtables"),
              (std::vector<int>{26, 26, 63, 98, 75}));
    EXPECT_EQ(Tokens("|*=(),+-[]?"), (std::vector<int>{67, 72, 25, 35, 36, 37, 38, 39, 40, 41, 42}));
    EXPECT_EQ(Tokens("=name"), (std::vector<int>{25, 21}));
    EXPECT_EQ(Error("isx"), "** ERROR near line 1, Column 1: Identifier \"isx\" Unknown");
    TTES_Compiler lexer("=x", "");
    EXPECT_EQ(lexer.NextToken(), tkEquals);
    EXPECT_THROW(lexer.NextToken(), ETES_COMP_ERROR);
}

TEST(ScriptLexer, PredefinedMacrosExpandToTheirNumbers) {
    EXPECT_EQ(Numbers("Clblue CLBLUE clred"), (std::vector<int32_t>{16711680, 16711680, 255}));
    EXPECT_EQ(Numbers("caGOTOBOOKMARK9 caSETBOOKMARK0 f12 F1 __DEFAULT_OPTIONS __opt_caret_after_eol"),
              (std::vector<int32_t>{39, 20, 123, 112, 67099632, 134217728}));
    EXPECT_EQ(Numbers("123 0042 2147483647"), (std::vector<int32_t>{123, 42, 2147483647}));
    EXPECT_EQ(Error("\n 2147483648"), "** ERROR near line 2, Column 2: Number too large: 2147483648");
}

TEST(ScriptLexer, WordsThatAreNeitherKeywordNorMacroFailAtTheirPosition) {
    EXPECT_EQ(Error("name\r\n  case foo"), "** ERROR near line 2, Column 8: Identifier \"foo\" Unknown");
    EXPECT_EQ(Error("name\r\ncase\r\n  $"),
              "** ERROR near line 3, Column 3: Unknown character in input stream: #$24");
    // A '#' that starts no directive is an unknown character.
    EXPECT_EQ(Error("#pragma"), "** ERROR near line 1, Column 1: Unknown character in input stream: #$23");
    EXPECT_EQ(Error(std::string("name \0", 6)),
              "** ERROR near line 1, Column 6: Unknown character in input stream: #$00");
}

TEST(ScriptLexer, DefineAddsOrReplacesMacrosAndRefusesRecursion) {
    EXPECT_EQ(Numbers("#define X  12  \t\r\nX x"), (std::vector<int32_t>{12, 12}));
    EXPECT_EQ(Numbers("#define clRed 7\r\nCLRED"), (std::vector<int32_t>{7}));
    // A macro that stands for itself is ignored, so A stays unknown.
    EXPECT_EQ(Tokens("#define A A\r\n#ifdef A\r\nname\r\n#endif\r\ncase"), (std::vector<int>{tkCase}));
    EXPECT_EQ(Error("#define A B\r\n#define B A\r\nA"),
              "** ERROR near line 3, Column 4: Recursive expansion of macro 'a'");
    EXPECT_EQ(Error("ver200"), "** ERROR near line 1, Column 13: Recursive expansion of macro 'ver200'");
    // Macros expand inside macros, and the same macro may follow itself.
    EXPECT_EQ(Numbers("#define ONE 1\r\n#define TWO ONE ONE\r\nTWO TWO"), (std::vector<int32_t>{1, 1, 1, 1}));
    // A macro whose text redefines the macro being read.
    EXPECT_EQ(Numbers("#define M #define M 5\r\nM M"), (std::vector<int32_t>{5}));
    EXPECT_EQ(Error("#define 9x"), "** ERROR near line 1, Column 9: Macro name expected");
}

TEST(ScriptLexer, ConditionsNestAndSkippedRegionsStaySkipped) {
    const std::string script = "#ifdef UNDEFINED\r\n"
                               "name foo $\r\n"
                               "#ifdef clRed\r\n"
                               "case\r\n"
                               "#else\r\n"
                               "options\r\n"
                               "#endif\r\n"
                               "%%words\r\n"
                               "#else\r\n"
                               "%%map\r\n"
                               "#endif\r\n"
                               "#ifndef clRed\r\n"
                               "%%tokens\r\n"
                               "#else\r\n"
                               "%%effects\r\n"
                               "#endif";
    EXPECT_EQ(Tokens(script), (std::vector<int>{tkMap, tkEffects}));
    EXPECT_EQ(Tokens("#ifdef ver200\r\nname\r\n#endif"), (std::vector<int>{tkName}));
    // Definitions and includes inside a skipped region have no effect.
    EXPECT_EQ(Tokens("#ifdef NO\r\n#define clRed 1\r\n#include <missing>\r\n#endif\r\nname"),
              (std::vector<int>{tkName}));
    EXPECT_EQ(Numbers("#ifdef NO\r\n#define clRed 1\r\n#endif\r\nclRed"), (std::vector<int32_t>{255}));
    // An open condition simply ends the input.
    EXPECT_EQ(Tokens("name\r\n#ifdef NO\r\ncase"), (std::vector<int>{tkName}));

    EXPECT_EQ(Error("#ifdef 9"), "** ERROR near line 1, Column 8: Macro name expected after #ifdef");
    EXPECT_EQ(Error("#ifndef ("), "** ERROR near line 1, Column 9: Macro name expected after #ifdef");
    EXPECT_EQ(Error("name\r\n#else"), "** ERROR near line 2, Column 6: #else without #ifdef or #ifndef");
    EXPECT_EQ(Error("#endif"), "** ERROR near line 1, Column 7: #endif without #ifdef or #ifndef");
}

TEST(ScriptLexer, StringsKeepEscapesUntilAskedAndContinueOverLines) {
    EXPECT_EQ(FirstString("'ab\\\r\n   \\cd'"), "abcd");
    EXPECT_EQ(FirstString("'\\x41\\101\\n'"), "AA\r");
    EXPECT_EQ(FirstString("'\\b\\E\\R\\s\\t\\q\\\\\\''"), "\b\x1B\n \tq\\'");
    EXPECT_EQ(FirstString("''"), "");
    EXPECT_EQ(FirstString("'open"), "open"); // the end of input closes it
    EXPECT_EQ(TTES_Compiler::ResolveEscapes("a\\"), "a");
    EXPECT_EQ(TTES_Compiler::ResolveEscapes("\\x141\\777"), std::string("\x41\xFF"));

    TTES_Compiler lexer("'a\\'b' name", "");
    EXPECT_EQ(lexer.NextToken(), tkString);
    EXPECT_EQ(lexer.TokenText(), "a\\'b");
    EXPECT_EQ(lexer.StringValue(), "a'b");
    EXPECT_EQ(lexer.NextToken(), tkName);
}

TEST(ScriptLexer, CommentsAndBlanksAreSkippedAndLinesCounted) {
    EXPECT_EQ(Tokens("/* a\r\n b */ name // case\r\n\t\xA0options /* open"),
              (std::vector<int>{tkName, tkOptions}));
    EXPECT_EQ(Error("/* a\r\n\r\n */ name\r\n // x\r\n  foo"),
              "** ERROR near line 5, Column 3: Identifier \"foo\" Unknown");
    // Lines that end in LF alone count too.
    EXPECT_EQ(Error("name\ncase\n\n foo"), "** ERROR near line 4, Column 2: Identifier \"foo\" Unknown");
}

TEST(ScriptLexer, IncludedFilesAreReadInPlaceAndCountTheirLines) {
    TempDir dir;
    dir.Write("inc.tsc", "case\r\noptions\r\n");
    EXPECT_EQ(Tokens("#include <inc.tsc>\r\nname", dir.Path()),
              (std::vector<int>{tkCase, tkOptions, tkName}));
    EXPECT_EQ(Error("#include <inc.tsc>\r\nname\r\nfoo", dir.Path()),
              "** ERROR near line 5, Column 1: Identifier \"foo\" Unknown");
    const std::string quoted = dir.Write("q.tsc", "%%map");
    EXPECT_EQ(Tokens("#include \"" + quoted + "\" name"), (std::vector<int>{tkMap, tkName}));
    // A directory that already ends with a separator gets no second one.
    EXPECT_EQ(Tokens("#include <inc.tsc>", dir.Path() + "/"), (std::vector<int>{tkCase, tkOptions}));

    std::string self = dir.Write("Self.tsc", "name\r\n#include <Self.tsc>");
    for (char& c : self)
        c = LowerAscii(c);
    EXPECT_EQ(Error("#include <Self.tsc>", dir.Path()),
              "** ERROR near line 2, Column 20: Recursive expansion of macro '-file-: " + self + "'");

    EXPECT_EQ(Error("#include <nothing.tsc>", dir.Path()),
              "** ERROR near line 1, Column 23: Unable to open #include file <" +
                  (std::filesystem::path(dir.Path()) / "nothing.tsc").string() + ">");
    EXPECT_EQ(Error("#include inc.tsc"),
              "** ERROR near line 1, Column 10: #include filename not enclosed in \"...\" or <...>");
    EXPECT_EQ(Error("#include \"inc.tsc\r\n"),
              "** ERROR near line 1, Column 18: #include filename missing terminating \"");
    EXPECT_EQ(Error("#include <inc.tsc"),
              "** ERROR near line 1, Column 18: #include filename missing terminating >");
}

TEST(ScriptLexer, GrammarErrorsArePlacedAtTheLastToken) {
    TTES_Compiler lexer("name\r\n    = 5", "");
    lexer.NextToken();
    lexer.NextToken();
    EXPECT_EQ(lexer.Token(), tkEquals);
    try {
        lexer.CompileError("number expected");
        FAIL();
    } catch (const ETES_COMP_ERROR& e) {
        EXPECT_STREQ(e.what(), "** ERROR near line 2, Column 5: number expected");
    }
}

TEST(ScriptLexer, RunawayMacroExpansionIsStopped) {
    std::string script = "#define A0 /*" + std::string(4000, 'x') + "*/\r\n";
    for (int i = 1; i <= 12; ++i)
        script += "#define A" + std::to_string(i) + " A" + std::to_string(i - 1) + " A" +
                  std::to_string(i - 1) + "\r\n";
    script += "A12";
    EXPECT_NE(Error(script).find("Macros and #include files expand to more than 4194304 bytes"),
              std::string::npos);
}

TEST(ScriptLexer, QuotedIncludesAreLookedUpBesideTheIncludingFile) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() + "/sub");
    dir.Write("sub/inner.tsc", "options\r\n");
    // outer.tsc names inner.tsc relative to itself, not to the current folder.
    const std::string outer = dir.Write("sub/outer.tsc", "#include \"inner.tsc\"\r\ncase\r\n");
    EXPECT_EQ(Tokens("#include \"" + outer + "\" name"), (std::vector<int>{tkOptions, tkCase, tkName}));
    // The script itself looks beside itself (its folder is the include folder).
    EXPECT_EQ(Tokens("#include \"sub/inner.tsc\"", dir.Path()), (std::vector<int>{tkOptions}));
}

#ifndef _WIN32 // FIFOs and /proc; Windows readers have their own test
TEST(ScriptLexer, PseudoFilesAndPipesAreNeverIncluded) {
    // /proc reports size 0 but yields text; it must not pass the size limit,
    // and the error names the file without echoing what it holds.
    const std::string message = Error("#include \"/proc/self/status\"");
    EXPECT_EQ(message, "** ERROR near line 1, Column 29: Unable to open #include file \"/proc/self/status\"");

    TempDir dir;
    const std::string fifo = dir.Path() + "/pipe.tsc";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Error("#include <pipe.tsc>", dir.Path()),
              "** ERROR near line 1, Column 20: Unable to open #include file <" + fifo + ">");
}
#endif

TEST(ScriptLexer, LongMacroChainsExpandAndRecursionIsStillFound) {
    // m0 expands to m1, m1 to m2, ... : every expansion is open at once.
    constexpr int kChain = 50000;
    std::string script;
    for (int i = 0; i < kChain; ++i)
        script += "#define m" + std::to_string(i) + " m" + std::to_string(i + 1) + "\r\n";
    script += "#define m" + std::to_string(kChain) + " name\r\nm0";
    EXPECT_EQ(Tokens(script), (std::vector<int>{tkName}));

    EXPECT_EQ(Error("#define a b\r\n#define b C\r\n#define c A\r\na"),
              "** ERROR near line 4, Column 5: Recursive expansion of macro 'a'");
}

TEST(ScriptLexer, ScriptsPastTheSizeLimitAreRefusedUnread) {
    const std::string big(TTES_Compiler::kMaxExpansionBytes + 1, ' ');
    EXPECT_EQ(Error(big), "** ERROR near line 1, Column 1: The script is larger than 4194304 bytes");
    const std::vector<uint8_t> huge(3 * TTES_Compiler::kMaxExpansionBytes, ' ');
    TMemoryStream stream(huge);
    EXPECT_THROW(TTES_Compiler(stream, ""), ETES_COMP_ERROR);
    // Reading stopped shortly after the limit, not at the end of the stream.
    EXPECT_LT(stream.Position(), static_cast<int64_t>(TTES_Compiler::kMaxExpansionBytes) + 8192);
}
