// The Win32 safe save and regular-file reader: replacing a file another
// program holds open, refusals that leave the old file intact, hard links
// written in place, temporary files of crashed saves, and readers that
// refuse folders, devices and pipes.

#include "platform/FileSystem.h"
#include "platform/SafeSave.h"
#include "platform/Win32Text.h"
#include "support/Win32Names.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>

using namespace torvane;
using namespace win32_test;

namespace {

// Another program's handle on a file, with the given sharing.
struct HeldFile {
    HANDLE h;
    HeldFile(const fs::path& path, DWORD share)
        : h(::CreateFileW(path.wstring().c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~HeldFile() {
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
    std::string Read() const {
        char buf[64];
        DWORD got = 0;
        ::SetFilePointer(h, 0, nullptr, FILE_BEGIN);
        return ::ReadFile(h, buf, sizeof buf, &got, nullptr) ? std::string(buf, got) : "<read failed>";
    }
};

// A second start of this test program, held suspended: a process that runs
// until it is ended.
struct Child {
    PROCESS_INFORMATION info{};
    Child() {
        wchar_t self[MAX_PATH];
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(self) + L"\" --gtest_list_tests";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        EXPECT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                     nullptr, &startup, &info));
    }
    ~Child() {
        End();
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    void End() const {
        ::TerminateProcess(info.hProcess, 1);
        ::WaitForSingleObject(info.hProcess, INFINITE);
    }
};

size_t EntriesIn(const fs::path& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

} // namespace

TEST(Win32SafeSave, ReplacesAFileHeldOpenOrRefusesAndKeepsIt) {
    fs::path dir = ScratchDir("ulo\x9E"
                              "en\xED");
    const std::string target = NameOf(dir / "t.asm");
    WriteFile(PathOf(target), "old");
    int error = 0;
    {
        // A reader that allows deleting: the name moves to the new bytes and
        // the reader keeps the old ones.
        HeldFile reader(PathOf(target), FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_NE(reader.h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(platform::SaveFileSafely(target, "new", &error)) << error;
        EXPECT_EQ(ReadFile(PathOf(target)), "new");
        EXPECT_EQ(reader.Read(), "old");
    }
    EXPECT_EQ(EntriesIn(dir), 1u) << "no temporary file left";
    {
        // A holder that forbids writing: the save fails, says why, and leaves
        // the file as it was and no temporary file behind.
        HeldFile holder(PathOf(target), FILE_SHARE_READ);
        ASSERT_NE(holder.h, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(platform::SaveFileSafely(target, "newer", &error));
        EXPECT_EQ(platform::ClassifySaveError(error), platform::SaveFailure::AccessDenied);
    }
    EXPECT_EQ(ReadFile(PathOf(target)), "new");
    EXPECT_EQ(EntriesIn(dir), 1u);

    // A read-only file is refused, not replaced.
    ::SetFileAttributesW(PathOf(target).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(platform::SaveFileSafely(target, "newest", &error));
    EXPECT_EQ(platform::ClassifySaveError(error), platform::SaveFailure::AccessDenied);
    ::SetFileAttributesW(PathOf(target).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile(PathOf(target)), "new");

    // A folder is no file to save into; a first save has nothing to replace.
    EXPECT_FALSE(platform::SaveFileSafely(NameOf(dir), "x", &error));
    EXPECT_EQ(platform::ClassifySaveError(error), platform::SaveFailure::NotAFile);
    const std::string fresh = NameOf(dir / "fresh.asm");
    EXPECT_TRUE(platform::SaveFileSafely(fresh, "first", &error)) << error;
    EXPECT_EQ(ReadFile(PathOf(fresh)), "first");
    EXPECT_EQ(EntriesIn(dir), 2u);
}

TEST(Win32SafeSave, UncommittedSaveAndRewindKeepTheRightBytes) {
    fs::path dir = ScratchDir();
    const std::string target = NameOf(dir / "t.asm");
    WriteFile(PathOf(target), "old");
    {
        platform::TSafeSave save(target);
        ASSERT_TRUE(save.Open());
        ASSERT_TRUE(save.Write("half", 4));
    } // dropped without a commit
    EXPECT_EQ(ReadFile(PathOf(target)), "old");
    EXPECT_EQ(EntriesIn(dir), 1u);

    platform::TSafeSave save(target);
    ASSERT_TRUE(save.Open());
    ASSERT_TRUE(save.Write("a longer first try", 18));
    ASSERT_TRUE(save.Rewind());
    ASSERT_TRUE(save.Write("second", 6));
    ASSERT_TRUE(save.Commit());
    EXPECT_EQ(ReadFile(PathOf(target)), "second");
}

TEST(Win32SafeSave, HardLinkedFileIsWrittenInPlace) {
    fs::path dir = ScratchDir();
    const std::string target = NameOf(dir / "a.asm");
    WriteFile(PathOf(target), "old text that is longer");
    ASSERT_TRUE(::CreateHardLinkW((dir / "b.asm").wstring().c_str(), PathOf(target).c_str(), nullptr));
    platform::TSafeSave save(target);
    ASSERT_TRUE(save.Open());
    EXPECT_TRUE(save.WritesInPlace());
    ASSERT_TRUE(save.Write("new", 3));
    ASSERT_TRUE(save.Commit());
    EXPECT_EQ(ReadFile(PathOf(target)), "new");
    EXPECT_EQ(ReadFile(dir / "b.asm"), "new") << "the other name sees the edit";
    EXPECT_TRUE(platform::SameFile(target, NameOf(dir / "b.asm")));
    EXPECT_EQ(EntriesIn(dir), 2u) << "the backup is gone after the commit";
}

TEST(Win32SafeSave, TempFilesOfCrashedSavesGoWithTheirProcess) {
    // "pád programu\\můj program.asm"
    const std::string folder = NameOf(ScratchDir("p\xE1"
                                                 "d programu")) +
                               "\\";
    const std::string name = "m\xF9j program.asm";
    WriteFile(PathOf(folder + name), "old");
    Child running;
    std::string ended, live, otherFile, folderNamedLikeOne;
    {
        const Child gone;
        gone.End();
        // Ended and all its handles closed below: its id names no process.
        const std::string deadPid = std::to_string(gone.info.dwProcessId);
        ended = "." + name + ".torvane-" + deadPid + "-abcdefghij.tmp";
        otherFile = ".other.asm.torvane-" + deadPid + "-abcdefghij.tmp";
        folderNamedLikeOne = "." + name + ".torvane-" + deadPid + "-folder.tmp";
    }
    live = "." + name + ".torvane-" + std::to_string(running.info.dwProcessId) + "-abcdefghij.tmp";
    for (const std::string& temp : {ended, live, otherFile})
        WriteFile(PathOf(folder + temp), "text of a crashed save");
    fs::create_directory(PathOf(folder + folderNamedLikeOne));

    int error = 0;
    ASSERT_TRUE(platform::SaveFileSafely(folder + name, "new", &error)) << error;
    EXPECT_EQ(ReadFile(PathOf(folder + name)), "new");
    EXPECT_FALSE(fs::exists(PathOf(folder + ended)));
    EXPECT_TRUE(fs::exists(PathOf(folder + live))) << "a running process may still write it";
    EXPECT_TRUE(fs::exists(PathOf(folder + otherFile))) << "another file's temporary file";
    EXPECT_TRUE(fs::is_directory(PathOf(folder + folderNamedLikeOne)));
}

TEST(Win32FileSystem, ReadersTakeRegularFilesOnly) {
    fs::path dir = ScratchDir("\x9Elu\x9D");
    const std::string file = NameOf(dir / "p\xF8\xEDklad.hex");
    WriteFile(PathOf(file), "0123456789");
    std::string text;
    EXPECT_EQ(platform::ReadRegularFile(file, 100, text), platform::FileReadError::None);
    EXPECT_EQ(text, "0123456789");
    EXPECT_EQ(platform::ReadRegularFile(file, 9, text), platform::FileReadError::TooLarge);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(platform::ReadRegularFile(NameOf(dir / "missing"), 100, text),
              platform::FileReadError::CannotOpen);

    platform::FileReadError error = platform::FileReadError::None;
    EXPECT_EQ(platform::OpenRegularFile(NameOf(dir), &error), nullptr);
    EXPECT_EQ(error, platform::FileReadError::NotRegular);
    // The null device opens but never ends, as a reader would see it.
    EXPECT_EQ(platform::OpenRegularFile("NUL", &error), nullptr);
    EXPECT_EQ(error, platform::FileReadError::NotRegular);
    // A named pipe with a server opens as well, and would block the reader.
    const std::string pipe = "\\\\.\\pipe\\torvane-test-" + std::to_string(::GetCurrentProcessId());
    HANDLE server = ::CreateNamedPipeW(platform::win32::Wide(pipe).c_str(), PIPE_ACCESS_OUTBOUND,
                                       PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform::OpenRegularFile(pipe, &error), nullptr);
    EXPECT_EQ(error, platform::FileReadError::NotRegular);
    ::CloseHandle(server);
}
