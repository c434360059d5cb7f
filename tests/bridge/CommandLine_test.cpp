#include "bridge/AsmLog.h"
#include "bridge/CommandLine.h"

#include <gtest/gtest.h>

#include <set>

using namespace torvane::bridge;

namespace {
const DirectoryProbe kOnly(std::set<std::string> existing) {
    return [existing](const std::string& d) { return existing.count(d) > 0; };
}
} // namespace

TEST(CommandLine, Asem51) {
    EXPECT_EQ(Asem51CommandLine("/opt/asm/asemw", "/src/blink.asm", ""),
              "/opt/asm/asemw /src/blink.asm /includes:/src/;");
    EXPECT_EQ(Asem51CommandLine("/opt/asm/asemw", "/src/blink.asm", "/inc/a/;/inc/b/;"),
              "/opt/asm/asemw /src/blink.asm /includes:/src/;/inc/a/;/inc/b/;");
    // Blanks are quoted piece by piece; the list keeps its separators.
    EXPECT_EQ(Asem51CommandLine("/my tools/asemw", "/my src/a.asm", "/x/;/my inc/;"),
              "\"/my tools/asemw\" \"/my src/a.asm\" /includes:\"/my src/\";/x/;\"/my inc/\";");
}

TEST(CommandLine, AvrAsmIncludeOptionsOnlyFromExistingDirectories) {
    EXPECT_EQ(AvrIncludeOptions("/d1;/missing;/d3", kOnly({"/d1", "/d3"})), " -I /d1");
    EXPECT_EQ(AvrIncludeOptions(";;/d1;", kOnly({"/d1"})), " -I /d1");
    EXPECT_EQ(AvrAsmCommandLine("/bin/avrasm32", "/src/blink.asm", "/d1;/missing;/d3", kOnly({"/d1", "/d3"})),
              "/bin/avrasm32 -w /src/blink.asm -e /src/blink.eep -fI -I /src/ -I /d1");
    EXPECT_EQ(AvrAsmCommandLine("/bin/avrasm32", "/a b/x.y.asm", "/c d/;", kOnly({"/c d/"})),
              "/bin/avrasm32 -w \"/a b/x.y.asm\" -e \"/a b/x.y.eep\" -fI -I \"/a b/\" -I \"/c d/\"");
}

TEST(CommandLine, ChangeFileExt) {
    EXPECT_EQ(ChangeFileExt("/a/b.asm", ".hex"), "/a/b.hex");
    EXPECT_EQ(ChangeFileExt("/a.d/b", ".hex"), "/a.d/b.hex");
    EXPECT_EQ(ChangeFileExt("b.x.asm", ".bin"), "b.x.bin");
}

TEST(AsmLog, Asem51Success) {
    Lines log;
    EXPECT_TRUE(
        InterpretAsem51Output({"first", "ASEM-51 V1.3", "", "no errors", "trailer"}, "12:34:56", log));
    EXPECT_EQ(log, (Lines{"(12:34:56) ASEM-51 V1.3", "", "Soubor byl úspěšně přeložen"}));
}

TEST(AsmLog, Asem51FailureLines) {
    Lines log;
    EXPECT_FALSE(
        InterpretAsem51Output({"first", "banner", "third", "2 errors detected", "", "/s/a.asm(3): bad",
                               "@ include trace: x", "plain text", "see errors detected", "no errors"},
                              "t", log));
    EXPECT_EQ(log, (Lines{"(t) banner", "", "Soubor nelze přeložit:", "[Error] /s/a.asm(3): bad",
                          "@ include trace: x", "plain text", "no errors"}));
}

TEST(AsmLog, Asem51NoErrorsElsewhereIsAFailure) {
    Lines log;
    EXPECT_FALSE(InterpretAsem51Output({"no errors", "b", "no errors", "x"}, "t", log));
}

TEST(AsmLog, AvrAsmSuccessAndHeader) {
    Lines log;
    EXPECT_TRUE(InterpretAvrAsmOutput({"AVRASM: AVR macro assembler 2.0", "Copyright", "x",
                                       "Assembly complete, "
                                       "no errors"},
                                      "9:00:01", log));
    EXPECT_EQ(log,
              (Lines{"(9:00:01) AVR macro assembler 2.0", "Copyright", "", "Soubor byl úspěšně přeložen"}));
}

TEST(AsmLog, AvrAsmErrorAndIncludeLines) {
    Lines log;
    EXPECT_FALSE(InterpretAvrAsmOutput(
        {"12345678banner", "second", "/s/m.asm(12) : error : Unknown instruction",
         "/s/m.asm(3) : Include file x.inc not found", "/s/m.asm(4) : warning : w", ": error : at start"},
        "t", log));
    EXPECT_EQ(log, (Lines{"(t) banner", "second", "",
                          "Soubor nelze přeložit:", "[Error] /s/m.asm(12): Unknown instruction",
                          "[Error] /s/m.asm(3): Include file x.inc not found", "[Error] : at start"}));
}

TEST(AsmLog, TooFewLinesFailAfterLoggingWhatWasRead) {
    Lines log;
    EXPECT_THROW(InterpretAsem51Output({"a", "b", "c"}, "t", log), EBridgeCallFailure);
    EXPECT_EQ(log, (Lines{"(t) b", ""}));
    log.clear();
    EXPECT_THROW(InterpretAsem51Output({}, "t", log), EBridgeCallFailure);
    EXPECT_TRUE(log.empty());
    log.clear();
    EXPECT_THROW(InterpretAvrAsmOutput({"only one"}, "t", log), EBridgeCallFailure);
    EXPECT_EQ(log, (Lines{"(t) "}));
}
