#include "platform/ProgramLayout.h"

#include "platform/FileSystem.h"
#include "platform/UserFolders.h"
#include "platform/Win32Text.h"

#include <windows.h>

#include <cstdlib>

namespace torvane::platform {
namespace {

using user_folders::WithSeparator;

constexpr char kOwnFolder[] = "Torvane";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
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

namespace user_folders {

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

std::string SettingsFolder() {
    return UserDirectory(L"APPDATA");
}

std::string ScratchFolder() {
    return UserDirectory(L"LOCALAPPDATA");
}

} // namespace user_folders

} // namespace torvane::platform
