// Assemblers that print misleading text, stay silent, hang or flood: the
// build must neither report a false success nor blame the library, and the
// collected output stays bounded.

#include "BridgeTestUtil.h"
#include "bridge/Bridge.h"
#include "bridge/CommandLine.h"
#include "platform/Names.h"
#include "platform/ProcessRunner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

using namespace torvane;
using namespace torvane::bridge;
using namespace bridge_test;
using Lines = std::vector<std::string>;

namespace {

struct Build {
    fs::path dir = ScratchDir();
    fs::path source = dir / "prog.asm";
    fs::path log = dir / "compiler.log";
    std::string asmPath = FAKE_ASSEMBLER;

    explicit Build(const std::string& script) {
        WriteFile(source, "nop\n");
        WriteScript(dir, script);
    }
    // The fake assembler under the bundled front end's program name.
    void AsBundled(Assembler a) {
        const fs::path link =
            dir / (a == Assembler::Asem51 ? platform::kAsem51Program : platform::kAvrAsmProgram);
        fs::create_symlink(FAKE_ASSEMBLER, link);
        asmPath = link.string();
    }
    uint8_t Run(Assembler a) { return CallBridge(a, source.c_str(), log.c_str(), asmPath.c_str(), "", 0); }
    std::string Log() const { return ReadFile(log); }
};

// Restores the default limits whatever a test set.
struct DefaultLimitsAfter {
    ~DefaultLimitsAfter() { SetRunLimits(0, 0); }
};

constexpr char kSuccessLine[] = "Soubor byl úspěšně přeložen";

} // namespace

TEST(BuildSuccess, EchoedTextContainingNoErrorsIsNoSuccess) {
    // An include folder named "no errors", a warning that quotes the words,
    // and then the real summary of a failed build.
    Build avr("out AVRASM: x\\nline 2\\nIncluding /tmp/no errors/m8def.inc\\n"
              "prog.asm(3) : warning : no errors\\nprog.asm(4) : error : Unknown\\n1 errors detected\\n\n");
    EXPECT_EQ(avr.Run(Assembler::AvrAsm), kNotAssembled);
    EXPECT_EQ(avr.Log().find(kSuccessLine), std::string::npos);

    Build asem("out A\\nBANNER\\n\\n/tmp/no errors/prog.asm(3): no errors here\\n1 errors detected\\n\n");
    EXPECT_EQ(asem.Run(Assembler::Asem51), kNotAssembled);
    EXPECT_NE(asem.Log().find("[Error] /tmp/no errors/prog.asm(3): no errors here"), std::string::npos);
}

TEST(BuildSuccess, SummaryLineInItsExactForms) {
    Build plain("out AVRASM: x\\nline 2\\nno errors\\n\n");
    EXPECT_EQ(plain.Run(Assembler::AvrAsm), kAssembled);
    Build sentence("out AVRASM: x\\nline 2\\nAssembly complete, no errors.  \\n\\n\n");
    EXPECT_EQ(sentence.Run(Assembler::AvrAsm), kAssembled);
    Build asem("out A\\nBANNER\\n\\n  no errors\\n\n");
    EXPECT_EQ(asem.Run(Assembler::Asem51), kAssembled);
}

TEST(BuildSuccess, BundledFrontEndMustAlsoExitWithZero) {
    // A file name with a line break in it can forge the summary line; the
    // bundled front ends' exit status cannot be forged that way.
    Build forged("out AVRASM: x\\nline 2\\nprog\\nno errors\\n\nexit 1\n");
    forged.AsBundled(Assembler::AvrAsm);
    EXPECT_EQ(forged.Run(Assembler::AvrAsm), kNotAssembled);

    Build good("out AVRASM: x\\nline 2\\nno errors\\n\nexit 0\n");
    good.AsBundled(Assembler::AvrAsm);
    EXPECT_EQ(good.Run(Assembler::AvrAsm), kAssembled);
}

TEST(BuildLimits, SilentAssemblerWorkingFiveSecondsStillSucceeds) {
    Build b("sleep 5000\nout A\\nBANNER\\n\\nno errors\\n\n");
    EXPECT_EQ(b.Run(Assembler::Asem51), kAssembled);
}

TEST(BuildLimits, HungAssemblerIsStoppedWithItsOwnMessage) {
    DefaultLimitsAfter restore;
    Build b("pid child.pid\nout AVRASM: x\\n\nhang\n");
    SetRunLimits(1, 0);
    EXPECT_EQ(b.Run(Assembler::AvrAsm), kNotAssembled); // not the library failure 255
    EXPECT_NE(b.Log().find("Soubor nelze přeložit:\r\nPřekladač neodpověděl do 1 s a byl ukončen\r\n"),
              std::string::npos)
        << b.Log();
    EXPECT_NE(::kill(std::stoi(ReadFile(b.dir / "child.pid")), 0), 0) << "the assembler must be gone";
}

TEST(BuildLimits, CancelFromAnotherThreadStopsTheAssembler) {
    DefaultLimitsAfter restore;
    Build b("out AVRASM: x\\n\nhang\n");
    SetRunLimits(0, 0);
    std::thread canceller([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        CancelRun();
    });
    EXPECT_EQ(b.Run(Assembler::AvrAsm), kNotAssembled);
    canceller.join();
    EXPECT_NE(b.Log().find("Překlad byl přerušen"), std::string::npos) << b.Log();
}

TEST(BuildOutput, FloodsAreKeptToTheCapWithTheirLastLines) {
    fs::path dir = ScratchDir();
    platform::ProcessLimits limits;
    limits.cutNotice = "CUT";
    Lines out;

    // 100 MB without a line end: one line of the byte cap, then the notice
    // and the (capped) tail of the same line.
    WriteScript(dir, "flood 100000000 0\nout \\nlast\\n\n");
    platform::ProcessResult r = platform::RunProcess(FAKE_ASSEMBLER, dir.string(), out, limits);
    EXPECT_EQ(r.end, platform::ProcessEnd::Exited);
    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(out[0].size(), limits.maxBytes);
    EXPECT_EQ(out[1], "CUT");
    EXPECT_EQ(out.back(), "last");

    // Many short lines: the line cap, the notice, and the summary still last.
    WriteScript(dir, "flood 3000000 9\nout \\nno errors\\n\n");
    platform::RunProcess(FAKE_ASSEMBLER, dir.string(), out, limits);
    EXPECT_EQ(out.size(), limits.maxLines + 1 + platform::OutputLineSplitter::kTailLines);
    EXPECT_EQ(out[limits.maxLines], "CUT");
    EXPECT_EQ(out.back(), "no errors");
}

TEST(OutputLineSplitter, CapsKeepTheHeadAndTheTail) {
    Lines lines;
    platform::OutputLineSplitter splitter(lines, 3, 100);
    const std::string text = "1\n2\n3\n4\n5\n6\n7\n8\nun";
    splitter.Feed(text.data(), 10);
    splitter.Feed(text.data() + 10, text.size() - 10);
    EXPECT_TRUE(splitter.Finish("CUT"));
    EXPECT_EQ(lines, (Lines{"1", "2", "3", "CUT", "6", "7", "8", "un"}));

    Lines small;
    platform::OutputLineSplitter uncut(small, 3, 100);
    uncut.Feed("a\nb", 3);
    EXPECT_FALSE(uncut.Finish("CUT"));
    EXPECT_EQ(small, (Lines{"a", "b"}));
}

TEST(CommandLine, SourceNamesStartingWithADashAreNoOptions) {
    EXPECT_EQ(Asem51CommandLine("asemw", "-x.asm", ""), "asemw ./-x.asm /includes:;");
    EXPECT_EQ(AvrAsmCommandLine("avrasm32", "-x.asm", "", [](const std::string&) { return false; }),
              "avrasm32 -w ./-x.asm -e ./-x.eep -fI -I ");
    EXPECT_EQ(SourceArgument("/abs/-x.asm"), "/abs/-x.asm");

    // End to end: the assembler sees a path, and the path names the file.
    fs::path dir = ScratchDir();
    WriteScript(dir, "args\n");
    Lines out;
    platform::RunProcess(Asem51CommandLine(FAKE_ASSEMBLER, "-x.asm", ""), dir.string(), out);
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[1], "ARG1=./-x.asm");
}
