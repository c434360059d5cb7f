#include "BridgeTestUtil.h"
#include "bridge/CommandLine.h"
#include "platform/ProcessRunner.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace torvane;
using namespace bridge_test;
using Lines = std::vector<std::string>;

namespace {

Lines Split(std::initializer_list<std::string> chunks) {
    Lines lines;
    platform::OutputLineSplitter splitter(lines);
    for (const auto& c : chunks)
        splitter.Feed(c.data(), c.size());
    return lines;
}

// Runs the fake assembler in `dir` with the given script.
Lines RunFake(const fs::path& dir, const std::string& script, int* exitCode = nullptr,
              const std::string& extraArgs = "") {
    WriteScript(dir, script);
    Lines out;
    platform::ProcessLimits limits;
    limits.idle = std::chrono::milliseconds(2000);
    int code = platform::RunProcess(std::string(FAKE_ASSEMBLER) + extraArgs, dir.string() + "/", out, limits)
                   .exitCode;
    if (exitCode) *exitCode = code;
    return out;
}

} // namespace

TEST(OutputLineSplitter, LineEndsBackspacesAndUnfinishedLines) {
    using namespace std::string_literals;
    EXPECT_EQ(Split({"A\r\nB\rC\nD"}), (Lines{"A", "B", "C", "D"}));
    EXPECT_EQ(Split({"AB\bC\r\n"}), (Lines{"AC"}));
    EXPECT_EQ(Split({"AB", "C\r\n"}), (Lines{"ABC"}));
    EXPECT_EQ(Split({"AB", "C", "D\nE"}), (Lines{"ABCD", "E"}));
    EXPECT_EQ(Split({"a\0b\b\bc\n"s}), (Lines{"ac"}));
    // Empty lines are lines; a CR LF torn between two reads is still one end.
    EXPECT_EQ(Split({"x\n\ny\r", "\nz\n"}), (Lines{"x", "", "y", "z"}));
    // A backspace at the start of a chunk cannot reach into the stored line.
    EXPECT_EQ(Split({"AB", "\bC\n"}), (Lines{"ABC"}));
}

TEST(SplitCommandLine, WindowsRuntimeRules) {
    struct Case {
        std::string line;
        Lines args;
    } cases[] = {
        {"prog a b", {"prog", "a", "b"}},
        {"  prog\t a  ", {"prog", "a"}},
        {"\"C:\\Program Files\\asemw.exe\" x", {"C:\\Program Files\\asemw.exe", "x"}},
        {"p a\\\\b \"c d\" \"\"", {"p", "a\\\\b", "c d", ""}},
        {"p a\\\"b", {"p", "a\"b"}},
        {"p \"a\\\\\" b", {"p", "a\\", "b"}},
        {"p \"a\"\"b\"", {"p", "a\"b"}},
        {"p /includes:\"/my dir/\";/lib/;", {"p", "/includes:/my dir/;/lib/;"}},
        {"p $(rm -rf x);`y`|z&", {"p", "$(rm", "-rf", "x);`y`|z&"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::SplitCommandLine(c.line), c.args) << c.line;
}

TEST(SplitCommandLine, QuotingRoundTrips) {
    for (std::string text : {"plain", "with blank", "quote\"inside", "trail\\", "back\\\"slash",
                             "\\\\x y\\\\", "tab\there", ""}) {
        std::string quoted = text.empty() ? "\"\"" : bridge::QuoteIfNeeded(text);
        EXPECT_EQ(platform::SplitCommandLine("p " + quoted), (Lines{"p", text})) << quoted;
    }
    EXPECT_EQ(bridge::QuoteIfNeeded("/no/blanks/x.asm"), "/no/blanks/x.asm");
}

TEST(ProcessRunner, CollectsOutputOfBothStreamsAcrossReads) {
    fs::path dir = ScratchDir();
    int code = -1;
    Lines out = RunFake(dir,
                        "out A\\r\\nB\\rC\\nD\nsleep 30\nout \\n\nout AB\nsleep 30\nout C\\r\\n\n"
                        "err E\\bX\\b\\bF\\n\nout no final end\nexit 7\n",
                        &code);
    EXPECT_EQ(code, 7);
    EXPECT_EQ(out, (Lines{"A", "B", "C", "D", "ABC", "F", "no final end"}));
}

TEST(ProcessRunner, RunsInTheGivenDirectory) {
    fs::path dir = ScratchDir();
    // The script is found only when the working directory is `dir`.
    Lines out = RunFake(dir, "out here\\n\n");
    EXPECT_EQ(out, (Lines{"here"}));
}

TEST(ProcessRunner, SilentEndlessChildIsKilledAfterIdleLimit) {
    fs::path dir = ScratchDir();
    int code = 0;
    Lines out = RunFake(dir, "pid child.pid\nout started\\npartial\nhang\n", &code);
    EXPECT_EQ(code, platform::kStillActive);
    EXPECT_EQ(out, (Lines{"started", "partial"}));
    EXPECT_TRUE(ProcessIsGone(std::stoi(ReadFile(dir / "child.pid")))) << "the child must be gone";
}

TEST(ProcessRunner, ChattyEndlessChildIsKilledAfterTotalLimit) {
    fs::path dir = ScratchDir();
    std::string script;
#ifdef _WIN32 // a child starts slowly under an emulator: room before its first tick
    constexpr int kTicks = 2000, kTotalMs = 1500, kIdleMs = 1000;
#else
    constexpr int kTicks = 200, kTotalMs = 300, kIdleMs = 100;
#endif
    for (int i = 0; i < kTicks; ++i)
        script += "out tick\\n\nsleep 5\n";
    script += "hang\n";
    WriteScript(dir, script);
    Lines out;
    platform::ProcessLimits limits;
    limits.total = std::chrono::milliseconds(kTotalMs);
    limits.idle = std::chrono::milliseconds(kIdleMs);
    platform::ProcessResult result = platform::RunProcess(FAKE_ASSEMBLER, dir.string(), out, limits);
    EXPECT_EQ(result.exitCode, platform::kStillActive);
    EXPECT_EQ(result.end, platform::ProcessEnd::TotalTimeout);
    EXPECT_FALSE(out.empty());
    EXPECT_LT(out.size(), static_cast<size_t>(kTicks)); // stopped by the total limit, not by the idle limit
}

TEST(ProcessRunner, ProgramThatCannotStartGivesNothing) {
    fs::path dir = ScratchDir();
    Lines out{"stale"};
    EXPECT_EQ(platform::RunProcess((dir / "missing-program").string(), dir.string(), out).end,
              platform::ProcessEnd::NotStarted);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(platform::RunProcess(FAKE_ASSEMBLER, (dir / "no-such-dir").string(), out).exitCode, 0);
    EXPECT_TRUE(out.empty());
}

TEST(ProcessRunner, PathsWithBlanksAndShellCharactersStayWholeArguments) {
    fs::path dir = ScratchDir() / "dir with blanks";
    fs::create_directories(dir);
    const std::string lib = (dir / "lib $(touch pwned)").string() + "/;" + (dir / "b;c").string();
    const std::string source = (dir / "x'; touch pwned; `touch pwned` & \"q\".asm").string();
    WriteScript(dir, "args\n");
    Lines out;
    platform::RunProcess(bridge::Asem51CommandLine(FAKE_ASSEMBLER, source, lib), dir.string(), out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0], std::string("ARG0=") + FAKE_ASSEMBLER);
    EXPECT_EQ(out[1], "ARG1=" + source);
    EXPECT_EQ(out[2], "ARG2=/includes:" + (dir / "").string() + ";" + lib);
    EXPECT_FALSE(fs::exists(dir / "pwned"));
    EXPECT_FALSE(fs::exists("pwned"));
}
