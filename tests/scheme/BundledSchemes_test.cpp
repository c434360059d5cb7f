// The bundled scheme scripts: the plain-text script is the built-in scheme,
// and the assembler scripts tell their kinds of token apart where a simple
// word list would not (labels, words inside names, indirect registers).

#include "scheme/SchemeCompiler.h"

#include "common/Stream.h"
#include "highlight/BuiltinScheme.h"
#include "highlight/ParserText.h"

#include <gtest/gtest.h>

using namespace torvane;

namespace {

const std::string kScripts = TORVANE_TEST_DATA "/../../Scripts/";

void CompileBundled(TTessaryParser& parser, const std::string& name) {
    TFileStream file(kScripts + name, TFileStream::fmOpenRead);
    scheme::CompileScheme(parser, file, kScripts + name);
}

// Runs as "ID*COUNT" for one line of text, the way the golden files show them.
std::string Runs(TTessaryParser& parser, const std::string& text) {
    const std::vector<uint8_t> ids = ScanTokenIds(parser, text);
    std::string out;
    for (size_t c = 0; c < ids.size();) {
        size_t end = c;
        while (end < ids.size() && ids[end] == ids[c])
            ++end;
        out += (out.empty() ? "" : " ") + std::to_string(ids[c]) + "*" + std::to_string(end - c);
        c = end;
    }
    return out;
}

std::vector<uint8_t> SettingsBytes(const TTessaryParser& parser) {
    TMemoryStream stream;
    parser.Settings().SaveToStream(stream);
    return stream.Bytes();
}

TEST(BundledSchemes, PlainTextScriptIsTheBuiltInScheme) {
    TTessaryParser script, builtin;
    CompileBundled(script, "txt.tsc");
    LoadBuiltinPlainTextScheme(builtin);
    EXPECT_EQ(script.Settings().values, builtin.Settings().values);
    EXPECT_EQ(SettingsBytes(script), SettingsBytes(builtin));
    // The built-in scheme leaves ContextState empty, which means Startstate;
    // a compile fills in Startstate itself.
    builtin.Tables().FillContextStates();
    EXPECT_TRUE(script.Tables().SameContent(builtin.Tables()));
}

TEST(BundledSchemes, Asm51) {
    TTessaryParser p;
    CompileBundled(p, "asm51.tsc");
    // label, instruction, register, punctuation, name
    EXPECT_EQ(Runs(p, "loop:\tmov a,#count\r"), "10*5 0*1 1*3 0*1 2*1 0*1 12*1 11*5 0*1");
    // Longest word that the next character allows: "movers" is no "mov".
    EXPECT_EQ(Runs(p, "movers: movx @dptr,a"), "10*7 0*1 1*4 0*1 2*5 0*1 2*1");
    EXPECT_EQ(Runs(p, "MOVC A,@A+DPTR"), "1*4 0*1 2*1 0*1 2*7");
    // A name without its colon is a name, even when it starts with a register.
    EXPECT_EQ(Runs(p, "acc_2 a_b b"), "11*5 0*1 11*3 0*1 2*1");
    EXPECT_EQ(Runs(p, "$NOMOD51"), "5*8");
    EXPECT_EQ(Runs(p, "db 'it''s', \"x\" ; done"), "4*2 0*1 8*7 0*2 8*3 0*1 9*6");
    EXPECT_EQ(Runs(p, "0FFh 101b 7 P1.0 TR0"), "7*4 0*1 7*4 0*1 7*1 0*1 3*2 0*1 7*1 0*1 3*3");
}

TEST(BundledSchemes, AvrAsm) {
    TTessaryParser p;
    CompileBundled(p, "AvrAsm.tsc");
    EXPECT_EQ(Runs(p, "loop: ld r0, X+"), "10*5 0*1 1*2 0*1 2*2 0*2 2*2");
    EXPECT_EQ(Runs(p, "st -Z, r31"), "1*2 0*1 2*2 0*2 2*3");
    EXPECT_EQ(Runs(p, ".equ N = 0x1F+$1f"), "4*4 0*1 11*1 0*1 12*1 0*1 7*4 12*1 7*3");
    EXPECT_EQ(Runs(p, ".db \"a\\\"b\", 'c' ; x"), "4*3 0*1 8*6 0*2 8*3 0*1 9*3");
    EXPECT_EQ(Runs(p, "ldi r16, low(x)"), "1*3 0*1 2*3 0*2 6*3 12*1 2*1 12*1");
}

// C-style comments and preprocessor lines, as public sources of both
// dialects write them: `//` and `/* */` (13) are comments, `#...` lines (14)
// directives, and a lone `/` is still an operator.
TEST(BundledSchemes, CStyleCommentsAndPreprocessorLines) {
    for (const char* script : {"asm51.tsc", "AvrAsm.tsc"}) {
        TTessaryParser p;
        CompileBundled(p, script);
        EXPECT_EQ(Runs(p, "nop // a ; b\r"), "1*3 0*1 9*8 0*1") << script;
        EXPECT_EQ(Runs(p, "/* a\rb */ nop /**/\r"), "13*9 0*1 1*3 0*1 13*4 0*1") << script;
        EXPECT_EQ(Runs(p, "/* left open\rnop\r"), "13*17") << script;
        EXPECT_EQ(Runs(p, "#include <x.inc> ; y\r"), "14*17 9*3 0*1") << script;
        EXPECT_EQ(Runs(p, "#ifndef X\r#define X 1\r#endif\r"), "14*9 0*1 14*11 0*1 14*6 0*1") << script;
    }
    TTessaryParser p;
    CompileBundled(p, "asm51.tsc");
    EXPECT_EQ(Runs(p, "mov a,#8/2 // x"), "1*3 0*1 2*1 0*1 12*1 7*1 12*1 7*1 0*1 9*4");
    CompileBundled(p, "AvrAsm.tsc");
    EXPECT_EQ(Runs(p, "ldi r16, 8/2 // x"), "1*3 0*1 2*3 0*2 7*1 12*1 7*1 0*1 9*4");
}

} // namespace
