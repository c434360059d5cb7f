// torvane-cli on Windows takes names with Czech letters from its command
// line: started with a wide command line, as Explorer and cmd start it.

#include "platform/Win32Text.h"
#include "support/Win32Names.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace win32_test;
using torvane::platform::win32::Wide;

namespace {

// Runs the command line; the exit code, or -1 when it did not end in time.
long RunToEnd(std::wstring line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &child))
        return -2;
    DWORD exitCode = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(child.hProcess, 60000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(child.hProcess, &exitCode);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    return static_cast<long>(exitCode);
}

} // namespace

TEST(Win32Cli, NamesWithCzechLettersReachTheCommand) {
    // "Přenos dat" / "čtení.hex" / "výstup.bin" in Windows-1250.
    const fs::path dir = ScratchDir("P\xF8\x65nos dat");
    const fs::path hex = dir / PathOf("\xE8ten\xED.hex");
    const fs::path bin = dir / PathOf("v\xFDstup.bin");
    WriteFile(hex, ":0100000042BD\r\n:00000001FF\r\n");

    const std::wstring line =
        L"\"" + Wide(TORVANE_CLI) + L"\" hex2bin \"" + hex.wstring() + L"\" \"" + bin.wstring() + L"\"";
    EXPECT_EQ(RunToEnd(line), 0);
    EXPECT_EQ(ReadFile(bin), "\x42");
}
