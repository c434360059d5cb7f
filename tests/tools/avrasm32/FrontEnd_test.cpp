// The AVR front end run as the bridge runs it, on programs written in the
// forms that public AVR sources use.

#include "AvrTestSupport.h"

#include <gtest/gtest.h>

using namespace avrtest;
using Lines = std::vector<std::string>;

namespace {

struct FrontEnd : ::testing::Test {
    fs::path root, src, lib;
    void SetUp() override {
        root =
            TestFolder("torvane_avr_front") / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root);
        src = root / "my src";
        lib = root / "lib";
        fs::create_directories(src);
        fs::create_directories(lib);
    }
    void TearDown() override { fs::remove_all(root.parent_path()); }
};

struct Form {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files; // under root; the first is the source
    std::vector<uint8_t> code;                              // expected from address 0
};

const Form kForms[] = {
    {"C-style comments",
     {{"my src/main.asm", "ldi r16, 1 // one\r\n/* two\r\n   lines */ ldi r17, 2 /* end */\r\n"}},
     {0x01, 0xE0, 0x12, 0xE0}},
    {"angle-bracket include", {{"my src/main.asm", ".include <m8def.inc>\nldi r16, SPL\n"}}, {0x0D, 0xE3}},
    {"#include", {{"my src/main.asm", "#include \"m8def.inc\"\nldi r16, SPL\n"}}, {0x0D, 0xE3}},
    {"repeated .device",
     {{"my src/main.asm", ".device ATmega8\n.include \"m8def.inc\"\n.DEVICE atmega8\nldi r16, SPL\n"}},
     {0x0D, 0xE3}},
    {"include name in another case",
     {{"my src/main.asm", ".include \"M8DEF.INC\"\nldi r16, SPL\n"}},
     {0x0D, 0xE3}},
    {"absolute Windows path",
     {{"my src/main.asm", ".include \"C:\\Program Files\\Atmel\\Appnotes\\M8DEF.INC\"\nldi r16, SPL\n"}},
     {0x0D, 0xE3}},
    {"relative path with backslashes",
     {{"my src/main.asm", ".include \"Inc\\consts.inc\"\nldi r16, VALUE\n"},
      {"my src/inc/Consts.inc", ".equ VALUE = 5\n"}},
     {0x05, 0xE0}},
    {"part avra does not know",
     {{"my src/main.asm", ".include \"m165def.inc\"\nldi r16, UDR\n"}},
     {0x06, 0xEC}},
    {"part avra does not know, named twice",
     {{"my src/main.asm", ".device ATmega165\n.include \"m165def.inc\"\nldi r16, UDR\n"}},
     {0x06, 0xEC}},
    {"source folder before bundled device files",
     {{"my src/main.asm", ".include \"m8def.inc\"\nldi r16, SPL\n"},
      {"my src/M8DEF.inc", ".equ SPL = 0x42\n"}},
     {0x02, 0xE4}},
    {"include folder before bundled device files",
     {{"my src/main.asm", ".include \"m8def.inc\"\nldi r16, SPL\n"}, {"lib/m8def.inc", ".equ SPL = 0x42\n"}},
     {0x02, 0xE4}},
    {"nested include found beside the including file",
     {{"my src/main.asm", ".include \"lib/a.inc\"\nldi r16, B\n"},
      {"my src/lib/a.inc", ".include \"b.inc\"\n"},
      {"my src/lib/b.inc", ".equ B = 5\n"}},
     {0x05, 0xE0}},
    {"lone CR line ends", {{"my src/main.asm", "ldi r16, 1\rldi r17, 2\r"}}, {0x01, 0xE0, 0x12, 0xE0}},
};

TEST_F(FrontEnd, AcceptsTheFormsOfTheDialect) {
    for (const Form& form : kForms) {
        fs::remove_all(src);
        for (const auto& [path, text] : form.files)
            WriteFile(root / path, text);
        const fs::path source = root / form.files.front().first;
        const FrontEndRun run = RunFrontEnd(source, {lib});
        EXPECT_EQ(run.exitCode, 0) << form.what << ": " << ::testing::PrintToString(run.lines);
        EXPECT_EQ(run.lines.back(), "no errors") << form.what;
        const auto image = ReadHex(fs::path(source).replace_extension(".hex"));
        EXPECT_EQ(Bytes(image, 0, form.code.size()), form.code) << form.what;
        EXPECT_TRUE(fs::exists(fs::path(source).replace_extension(".eep"))) << form.what;
    }
}

TEST_F(FrontEnd, ErrorsNameTheOriginalFileAndLine) {
    const fs::path source = src / "main.asm";
    const fs::path part = lib / "Part.inc";
    WriteFile(source, "/* header\n   over\n   three lines */\n.include \"PART.INC\" // ours\nfrob r1\n");
    WriteFile(part, "nop\n/*\n*/ nop ; */\nbadop r2\n");
    const FrontEndRun run = RunFrontEnd(source, {lib});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lines,
              (Lines{run.lines[0], "Source: " + source.string(),
                     part.string() + "(4) : error : Unknown mnemonic/macro: badop",
                     source.string() + "(5) : error : Unknown mnemonic/macro: frob", "2 errors detected"}));
    EXPECT_FALSE(fs::exists(fs::path(source).replace_extension(".hex")));
}

TEST_F(FrontEnd, MissingIncludeIsReportedWhereItIsWritten) {
    const fs::path source = src / "main.asm";
    WriteFile(source, "nop\n.include \"lib\\part.inc\"\n");
    WriteFile(src / "lib" / "part.inc", "nop\n.include <gone.inc>\n");
    const FrontEndRun run = RunFrontEnd(source);
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.lines.size(), 4u) << ::testing::PrintToString(run.lines);
    EXPECT_EQ(run.lines[2],
              (src / "lib" / "part.inc").string() + "(2) : Include file \"gone.inc\" not found");
}

TEST_F(FrontEnd, SourceNamedLikeAnOption) {
    const fs::path source = src / "-x.asm";
    WriteFile(source, "ldi r16, 1\n");
    const FrontEndRun run = RunFrontEnd(source);
    EXPECT_EQ(run.lines.back(), "no errors") << ::testing::PrintToString(run.lines);
    EXPECT_EQ(Bytes(ReadHex(src / "-x.hex"), 0, 2), (std::vector<uint8_t>{0x01, 0xE0}));
}

TEST_F(FrontEnd, IncludeCycleIsAnErrorNotACrash) {
    const fs::path source = src / "main.asm";
    WriteFile(source, "nop\n.include \"a.inc\"\n");
    WriteFile(src / "a.inc", "nop\n.include \"b.inc\"\n");
    WriteFile(src / "b.inc", ".include \"A.inc\"\n");
    FrontEndRun run = RunFrontEnd(source);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lines,
              (Lines{run.lines[0], run.lines[1],
                     (src / "b.inc").string() + "(1) : error : include file \"A.inc\" includes itself",
                     "1 errors detected"}));

    // A guarded cycle never reaches the second inclusion, so it assembles.
    WriteFile(src / "b.inc", "#ifndef A_INC\n#define A_INC\n.include \"A.inc\"\n#endif\n");
    WriteFile(source, "#define A_INC\nnop\n.include \"a.inc\"\n");
    run = RunFrontEnd(source);
    EXPECT_EQ(run.lines.back(), "no errors") << ::testing::PrintToString(run.lines);
}

} // namespace
