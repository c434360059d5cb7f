// The Win32 file helpers with Windows-1250 names, the program directory, and
// the hand-over of a file name from a second process.

#include "platform/FileSystem.h"
#include "platform/ProgramLayout.h"
#include "platform/SingleInstance.h"
#include "platform/Win32Text.h"
#include "support/Win32Names.h"

#include <gtest/gtest.h>

#include <windows.h>
#undef DeleteFile

using namespace torvane;
using namespace win32_test;

TEST(Win32FileSystem, Windows1250NamesReachTheDiskAsTheirLetters) {
    // "Žluťoučký kůň.asm" in Windows-1250.
    const std::string name = "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2.asm";
    fs::path dir = ScratchDir("slo\x9Eka s mezerou");
    const std::string file = NameOf(dir) + "\\" + name;
    WriteFile(PathOf(file), "x");
    EXPECT_TRUE(fs::exists(dir / L"\u017Dlu\u0165ou\u010Dk\u00FD k\u016F\u0148.asm"));
    EXPECT_TRUE(platform::FileExists(file));
    EXPECT_TRUE(platform::DirectoryExists(NameOf(dir)));
    EXPECT_FALSE(platform::FileExists(NameOf(dir)));
    EXPECT_EQ(platform::ExtractFileName(file), name);
    EXPECT_EQ(platform::ExtractFilePath(file), NameOf(dir) + "\\");
    EXPECT_EQ(platform::ExtractFilePath("C:x.asm"), "C:");
    EXPECT_EQ(platform::ExtractFileName("C:/a/b.asm"), "b.asm");
    EXPECT_TRUE(platform::DeleteFile(file));
    EXPECT_FALSE(platform::FileExists(file));
    EXPECT_TRUE(platform::DeleteFile(file));
}

TEST(Win32Layout, ProgramDirectoryAndAPortableCopy) {
    const std::string own = platform::ProgramDirectory();
    ASSERT_TRUE(own.ends_with("\\"));
    EXPECT_TRUE(platform::FileExists(own + "win32_platform_tests.exe"));
    fs::path dir = ScratchDir("p\xF8\x65nosn\xE1 kopie");
    const platform::ProgramLayout layout = platform::LayoutOf(NameOf(dir));
    EXPECT_FALSE(layout.installed);
    EXPECT_EQ(layout.settingsDir, NameOf(dir) + "\\");
    EXPECT_EQ(layout.libraryDir, layout.programDir);
}

TEST(Win32SingleInstance, SecondProcessHandsItsFileNameOver) {
    platform::SingleInstance first;
    ASSERT_TRUE(first.Acquire());
    std::vector<platform::CopyDataRecord> received;
    ASSERT_TRUE(first.ListenForCopyData([&](const platform::CopyDataRecord& r) { received.push_back(r); }));

    std::wstring line = L"\"" + platform::win32::Wide(HANDOVER_SENDER) + L"\" \"C:\\dir with blanks\\a.asm\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &child));
    // The send is synchronous: serve messages until the sender has ended.
    const DWORD deadline = ::GetTickCount() + 20000;
    while (::MsgWaitForMultipleObjects(1, &child.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           ::GetTickCount() < deadline) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
    DWORD exitCode = 99;
    ::GetExitCodeProcess(child.hProcess, &exitCode);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    EXPECT_EQ(exitCode, 0u) << "1: the lock was free, 2: the hand-over failed";
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].dwData, 0u);
    const std::string name = "C:\\dir with blanks\\a.asm";
    std::vector<uint8_t> bytes(name.begin(), name.end());
    bytes.push_back(0);
    EXPECT_EQ(received[0].bytes, bytes);
}
