#include "BridgeTestUtil.h"
#include "bridge/Bridge.h"

#include <gtest/gtest.h>

#include <regex>

using namespace torvane::bridge;
using namespace bridge_test;

namespace {

struct Call {
    fs::path dir = ScratchDir();
    fs::path source = dir / "prog.asm";
    fs::path log = dir / "compiler.log";
    std::string asmPath = FAKE_ASSEMBLER;
    std::string lib;
    bool bin = false;

    uint8_t Run(Assembler a) {
        return CallBridge(a, source.string().c_str(), log.string().c_str(), asmPath.c_str(), lib.c_str(),
                          bin ? 1 : 0);
    }
    // The log with the time of its header replaced by "T".
    std::string Log() const {
        return std::regex_replace(ReadFile(log), std::regex("^\\([^)]*\\)"), "(T)",
                                  std::regex_constants::format_first_only);
    }
};

} // namespace

TEST(Bridge, MissingSourceLogsOneLineAndStartsNothing) {
    Call c;
    WriteScript(c.dir, "write started x\n");
    EXPECT_EQ(c.Run(Assembler::Asem51), kNotAssembled);
    EXPECT_EQ(ReadFile(c.log), "Chyba: Soubor \"" + c.source.string() + "\" neexistuje\r\n");
    EXPECT_FALSE(fs::exists(c.dir / "started"));
}

TEST(Bridge, MissingAssemblerLogsOneLine) {
    Call c;
    WriteFile(c.source, "nop\n");
    c.asmPath = (c.dir / "nothing").string();
    EXPECT_EQ(c.Run(Assembler::AvrAsm), kNotAssembled);
    EXPECT_EQ(ReadFile(c.log), "Chyba: Neplatná cesta k překladači\r\n");
}

TEST(Bridge, Asem51SuccessAndFailureLogs) {
    Call c;
    WriteFile(c.source, "nop\n");
    WriteScript(c.dir, "out adapter\\nBANNER 1.0\\n\\nno errors\\n\n");
    EXPECT_EQ(c.Run(Assembler::Asem51), kAssembled);
    EXPECT_EQ(c.Log(), "(T) BANNER 1.0\r\n\r\nSoubor byl úspěšně přeložen\r\n");
    EXPECT_TRUE(std::regex_search(ReadFile(c.log), std::regex("^\\(\\d{1,2}:\\d\\d:\\d\\d")));

    WriteScript(c.dir,
                "out adapter\\nBANNER\\nthird\\n1 error detected\\n/x/prog.asm(3): unknown\\n\nexit 1\n");
    EXPECT_EQ(c.Run(Assembler::Asem51), kNotAssembled);
    EXPECT_EQ(c.Log(), "(T) BANNER\r\n\r\nSoubor nelze přeložit:\r\n1 error detected\r\n"
                       "[Error] /x/prog.asm(3): unknown\r\n");
}

TEST(Bridge, AvrAsmFailureLog) {
    Call c;
    WriteFile(c.source, "nop\n");
    WriteScript(c.dir, "err AVRASM: adapter 1\\nsecond line\\n/x/prog.asm(2) : error : Unknown\\n\nexit 1\n");
    EXPECT_EQ(c.Run(Assembler::AvrAsm), kNotAssembled);
    EXPECT_EQ(c.Log(), "(T) adapter 1\r\nsecond line\r\n\r\nSoubor nelze přeložit:\r\n"
                       "[Error] /x/prog.asm(2): Unknown\r\n");
}

TEST(Bridge, BinConversionAfterSuccessDeletesTheHex) {
    Call c;
    c.bin = true;
    WriteFile(c.source, "nop\n");
    WriteScript(c.dir,
                "write prog.hex :020002001234B6\\r\\n:00000001FF\\r\\n\nout A\\nB\\nC\\nno errors\\n\n");
    EXPECT_EQ(c.Run(Assembler::Asem51), kAssembled);
    EXPECT_EQ(ReadFile(c.dir / "prog.bin"), "\xFF\xFF\x12\x34");
    EXPECT_FALSE(fs::exists(c.dir / "prog.hex"));
    EXPECT_EQ(c.Log(), "(T) B\r\n\r\nSoubor byl úspěšně přeložen\r\n");
}

TEST(Bridge, FailedConversionIsLoggedAndKeepsTheResult) {
    Call c;
    c.bin = true;
    WriteFile(c.source, "nop\n");
    WriteScript(c.dir, "write prog.hex :0200020012349B\\r\\n\nout A\\nB\\nC\\nno errors\\n\n");
    EXPECT_EQ(c.Run(Assembler::Asem51), kAssembled);
    EXPECT_EQ(c.Log(), "(T) B\r\n\r\nSoubor byl úspěšně přeložen\r\n"
                       "Chyba při převedou HEX -> BIN (Neplatný kontrolní součet)\r\n");
    EXPECT_FALSE(fs::exists(c.dir / "prog.hex"));
    // Nothing to convert: the open failure is logged.
    WriteScript(c.dir, "out A\\nB\\nC\\nno errors\\n\n");
    EXPECT_EQ(c.Run(Assembler::Asem51), kAssembled);
    EXPECT_NE(c.Log().find("(Soubor nelze otevřít)"), std::string::npos);
}

TEST(Bridge, CallFailuresReturn255AfterWritingTheLog) {
    Call c;
    WriteFile(c.source, "nop\n");
    WriteScript(c.dir, "out only\\nthree\\nlines\\n\n");
    EXPECT_EQ(c.Run(Assembler::Asem51), kCallFailed);
    EXPECT_EQ(c.Log(), "(T) three\r\n\r\n");

    c.bin = true;
    WriteScript(c.dir, "write prog.hex :0200020012349a\\r\\n\nout A\\nB\\nC\\nno errors\\n\n");
    EXPECT_EQ(c.Run(Assembler::Asem51), kCallFailed);
    EXPECT_EQ(c.Log(), "(T) B\r\n\r\nSoubor byl úspěšně přeložen\r\n");

    // An assembler that cannot be started leaves no output to read.
    c.asmPath = c.source.string(); // exists, but is not a program
    EXPECT_EQ(c.Run(Assembler::AvrAsm), kCallFailed);
    EXPECT_EQ(ReadFile(c.log), "");

    // No assembler is a failed call too, never a run of one picked by default.
    c.asmPath = FAKE_ASSEMBLER;
    WriteScript(c.dir, "out A\\nB\\nC\\nno errors\\n\n");
    EXPECT_EQ(c.Run(Assembler::None), kCallFailed);
    EXPECT_EQ(ReadFile(c.log), "");
}

TEST(Bridge, UnwritableLogAndNullArguments) {
    Call c;
    c.log = c.dir / "no-such-dir" / "compiler.log";
    EXPECT_EQ(c.Run(Assembler::Asem51), kNotAssembled);
    EXPECT_EQ(CallBridge(Assembler::AvrAsm, nullptr, nullptr, nullptr, nullptr, 1), kNotAssembled);
}
