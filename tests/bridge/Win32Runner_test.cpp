// The Win32 process runner: its argument rules against the system's own
// parser, the command line it hands over, the limits and the job that takes
// the child's children along.

#include "bridge/CommandLine.h"
#include "platform/ProcessRunner.h"
#include "platform/Win32Text.h"
#include "support/Win32Names.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace torvane;
using namespace win32_test;
using Lines = std::vector<std::string>;

namespace {

// What the system makes of a command line (the program name aside, which it
// takes by simpler rules of its own).
Lines SystemArguments(const std::string& line) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(platform::win32::Wide(line).c_str(), &count);
    Lines args;
    for (int i = 1; i < count; ++i)
        args.push_back(platform::win32::Narrow(wide[i]));
    ::LocalFree(wide);
    return args;
}

Lines OurArguments(const std::string& line) {
    Lines args = platform::SplitCommandLine(line);
    args.erase(args.begin());
    return args;
}

Lines RunFake(const fs::path& dir, const std::string& script, platform::ProcessResult* result = nullptr,
              const platform::ProcessLimits& limits = {}) {
    WriteFile(dir / "fake.script", script);
    Lines out;
    const platform::ProcessResult got = platform::RunProcess(FAKE_ASEMW, NameOf(dir), out, limits);
    if (result) *result = got;
    return out;
}

platform::ProcessLimits TimeLimits(int idleMs, int totalMs) {
    platform::ProcessLimits limits;
    limits.idle = std::chrono::milliseconds(idleMs);
    limits.total = std::chrono::milliseconds(totalMs);
    return limits;
}

bool ProcessIsGone(const std::string& pidText) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(std::stoul(pidText)));
    if (!process) return true;
    const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended;
}

} // namespace

TEST(Win32Runner, ArgumentRulesMatchTheSystemParser) {
    for (std::string line : {"p a b", "p  a\t b  ", "p \"a b\" c", "p a\\\\b \"c d\" \"\"", "p a\\\"b",
                             "p \"a\\\\\" b", "p \"a\\\\\\\"b\"", "p a\"b c\"d", "p \\\\server\\share\\x.asm",
                             "p /includes:\"C:\\my dir\\\";D:\\lib\\;", "p \"unterminated arg",
                             "p \"a\"\"b\"", "p \"\"\"\"", "p x\"\"y"}) {
        EXPECT_EQ(OurArguments(line), SystemArguments(line)) << line;
    }
    // Whatever the bridge quotes comes back whole from the system's parser.
    for (std::string text :
         {"plain", "with blank", "quote\"inside", "trail\\", "back\\\"slash", "\\\\x y\\\\", "tab\there",
          "C:\\Program Files\\asemw.exe", "P\xF8\x65klad \xE8\x61s\xEC"}) {
        EXPECT_EQ(SystemArguments("p " + bridge::QuoteIfNeeded(text)), (Lines{text})) << text;
    }
}

TEST(Win32Runner, HandsTheCommandLineOverUnchangedAndCollectsOutput) {
    fs::path dir = ScratchDir("s mezerou \xE8\x9E");
    WriteFile(dir / "fake.script",
              "cmdline\nargs\nout A\\r\\nB\\rC\\nD\nsleep 30\nout \\n\nout AB\nsleep 30\n"
              "out C\\r\\n\nerr E\\bX\\b\\bF\\n\nout no final end\nexit 7\n");
    const std::string line =
        "\"" + std::string(FAKE_ASEMW) + "\" \"" + NameOf(dir / "x y.asm") + "\" /i:a\\\"b";
    Lines out;
    const platform::ProcessResult result = platform::RunProcess(line, NameOf(dir), out);
    EXPECT_EQ(result.exitCode, 7);
    EXPECT_EQ(result.end, platform::ProcessEnd::Exited);
    Lines expected{"CMDLINE=" + line};
    const Lines args = platform::SplitCommandLine(line);
    for (size_t i = 0; i < args.size(); ++i)
        expected.push_back("ARG" + std::to_string(i) + "=" + args[i]);
    for (std::string s : {"A", "B", "C", "D", "ABC", "F", "no final end"})
        expected.push_back(s);
    EXPECT_EQ(out, expected);
}

TEST(Win32Runner, SilentEndlessChildAndItsChildrenAreStoppedAfterTheIdleLimit) {
    fs::path dir = ScratchDir();
    platform::ProcessResult result;
    Lines out = RunFake(dir, "pid child.pid\nspawn grandchild.pid\nout started\\npartial\nhang\n", &result,
                        TimeLimits(1500, 60000));
    EXPECT_EQ(result.exitCode, platform::kStillActive);
    EXPECT_EQ(result.end, platform::ProcessEnd::IdleTimeout);
    EXPECT_EQ(out, (Lines{"started", "partial"}));
    EXPECT_TRUE(ProcessIsGone(ReadFile(dir / "child.pid")));
    ASSERT_TRUE(fs::exists(dir / "grandchild.pid"));
    EXPECT_TRUE(ProcessIsGone(ReadFile(dir / "grandchild.pid"))) << "the job takes the child's children";
}

TEST(Win32Runner, ChattyEndlessChildIsStoppedAfterTheTotalLimit) {
    fs::path dir = ScratchDir();
    std::string script;
    for (int i = 0; i < 2000; ++i)
        script += "out tick\\n\nsleep 5\n";
    platform::ProcessResult result;
    // The idle limit leaves room for a slow start under an emulator.
    Lines out = RunFake(dir, script + "hang\n", &result, TimeLimits(5000, 1500));
    EXPECT_EQ(result.exitCode, platform::kStillActive);
    EXPECT_EQ(result.end, platform::ProcessEnd::TotalTimeout);
    EXPECT_FALSE(out.empty());
    EXPECT_LT(out.size(), 2000u);
}

TEST(Win32Runner, CancelFromAnotherThreadStopsTheChildAndItsChildren) {
    fs::path dir = ScratchDir();
    std::atomic<bool> cancel{false};
    platform::ProcessLimits limits = TimeLimits(60000, 60000);
    limits.cancel = &cancel;
    // Cancelled once the grandchild is running, however slowly the child starts.
    std::thread canceller([&] {
        for (int i = 0; i < 400 && !fs::exists(dir / "grandchild.pid"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        cancel = true;
    });
    platform::ProcessResult result;
    Lines out = RunFake(dir, "spawn grandchild.pid\nout working\\n\nhang\n", &result, limits);
    canceller.join();
    EXPECT_EQ(result.end, platform::ProcessEnd::Cancelled);
    EXPECT_EQ(result.exitCode, platform::kStillActive);
    ASSERT_TRUE(fs::exists(dir / "grandchild.pid"));
    EXPECT_TRUE(ProcessIsGone(ReadFile(dir / "grandchild.pid")));
}

TEST(Win32Runner, FloodIsCutButItsLastLinesSurvive) {
    fs::path dir = ScratchDir();
    platform::ProcessLimits limits;
    limits.maxLines = 100;
    platform::ProcessResult result;
    // About 20000 short lines, drained to the end although only 100 are kept.
    Lines out = RunFake(dir, "flood 200000 9\nout \\nsummary\\n\nexit 0\n", &result, limits);
    EXPECT_EQ(result.end, platform::ProcessEnd::Exited);
    EXPECT_EQ(result.exitCode, 0);
    ASSERT_EQ(out.size(), 100u + 1 + platform::OutputLineSplitter::kTailLines);
    EXPECT_EQ(out[99], "xxxxxxxxx");
    EXPECT_EQ(out[100], limits.cutNotice);
    EXPECT_EQ(out.back(), "summary");
}

TEST(Win32Runner, ProgramThatCannotStartGivesNothing) {
    fs::path dir = ScratchDir();
    Lines out{"stale"};
    for (const auto& [program, folder] : {std::pair{NameOf(dir / "missing.exe"), NameOf(dir)},
                                          std::pair{std::string(FAKE_ASEMW), NameOf(dir / "no-such-dir")}}) {
        const platform::ProcessResult result = platform::RunProcess(program, folder, out);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.end, platform::ProcessEnd::NotStarted);
        EXPECT_TRUE(out.empty());
    }
}
