#include "platform/ProgramLayout.h"

#include "platform/FileSystem.h"
#include "platform/Names.h"
#include "platform/Win32Text.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>

#ifndef TORVANE_LIBDIR_FROM_BIN
#define TORVANE_LIBDIR_FROM_BIN "../lib/torvane"
#endif
#ifndef TORVANE_DATADIR_FROM_BIN
#define TORVANE_DATADIR_FROM_BIN "../share/torvane"
#endif

namespace torvane::platform {
namespace {

constexpr char kOwnFolder[] = "Torvane";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string WithSeparator(std::string dir) {
    if (dir.empty() || !IsSeparator(dir.back())) dir += '\\';
    return dir;
}

std::string Beside(const std::string& programDir, const char* relative) {
    std::filesystem::path p = std::filesystem::path(win32::Wide(programDir)) / relative;
    return WithSeparator(win32::Narrow(p.lexically_normal().make_preferred().wstring()));
}

// Writable by this user: the only sure test on Windows, where access rights
// are lists, is to create a file there.
bool CanWriteInto(const std::string& dir) {
    const std::wstring probe =
        win32::Wide(dir + ".torvane-write-test-" + std::to_string(::GetCurrentProcessId()));
    HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

// %APPDATA% (settings, which roam with the user) or %LOCALAPPDATA% (scratch).
std::string UserDirectory(const wchar_t* variable) {
    const wchar_t* base = ::_wgetenv(variable);
    if (!base || !*base) base = ::_wgetenv(L"USERPROFILE");
    if (!base || !*base) return ProgramDirectory();
    const std::string dir = WithSeparator(win32::Narrow(base)) + kOwnFolder + "\\";
    // A failure shows later, when a file cannot be written there.
    (void)MakePrivateDirectories(dir);
    return dir;
}

} // namespace

// The user's profile folders are private by their inherited access lists;
// new folders below them take those over.
bool MakePrivateDirectories(const std::string& dir) {
    for (size_t i = 0; i <= dir.size(); ++i) {
        if (i < dir.size() && !IsSeparator(dir[i])) continue;
        const std::string partial = dir.substr(0, i);
        if (partial.empty() || partial.back() == ':' || DirectoryExists(partial)) continue;
        if (!::CreateDirectoryW(win32::Wide(partial).c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return DirectoryExists(dir);
}

ProgramLayout LayoutOf(const std::string& programDir) {
    ProgramLayout layout;
    layout.programDir = WithSeparator(programDir);
    const std::string& own = layout.programDir;

    layout.libraryDir = own;
    if (!FileExists(own + kBridgeLibrary)) {
        const std::string installed = Beside(own, TORVANE_LIBDIR_FROM_BIN);
        if (DirectoryExists(installed)) layout.libraryDir = installed;
    }
    layout.dataDir = own;
    if (!DirectoryExists(own + kScriptsFolder)) {
        const std::string installed = Beside(own, TORVANE_DATADIR_FROM_BIN);
        if (DirectoryExists(installed)) layout.dataDir = installed;
    }
    layout.installed = layout.libraryDir != own || layout.dataDir != own;

    if (!layout.installed && CanWriteInto(own)) {
        layout.settingsDir = own;
        layout.scratchDir = own;
    } else {
        layout.settingsDir = UserDirectory(L"APPDATA");
        layout.scratchDir = UserDirectory(L"LOCALAPPDATA");
    }
    return layout;
}

ProgramLayout RunningProgramLayout() {
    return LayoutOf(ProgramDirectory());
}

} // namespace torvane::platform
