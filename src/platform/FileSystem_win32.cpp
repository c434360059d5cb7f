#include "platform/FileSystem.h"

#include "platform/Win32Text.h"

#include <windows.h>
// <windows.h> maps DeleteFile to DeleteFileA/W; ours is the portable one.
#undef DeleteFile

#include <vector>

namespace torvane::platform {
namespace {

// Both separators are accepted, and a drive's colon ends the folder part.
constexpr char kPathDelimiters[] = "\\/:";

DWORD AttributesOf(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(win32::Wide(path).c_str());
}

} // namespace

std::string ProgramDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return ".\\";
        if (n < buffer.size()) return ExtractFilePath(win32::Narrow(buffer.data(), n));
        buffer.resize(buffer.size() * 2); // truncated: long-path prefix or deep folder
    }
}

bool FileExists(const std::string& path) {
    const DWORD a = AttributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
    const DWORD a = AttributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteFile(const std::string& path) {
    if (::DeleteFileW(win32::Wide(path).c_str())) return true;
    const DWORD err = ::GetLastError();
    return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return ::_wfopen(win32::Wide(path).c_str(), win32::Wide(mode).c_str());
}

std::string ExtractFilePath(const std::string& path) {
    size_t p = path.find_last_of(kPathDelimiters);
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& path) {
    size_t p = path.find_last_of(kPathDelimiters);
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string TempPathBeside(const std::string& target) {
    // Same folder, so the final replacement never crosses volumes.
    return ExtractFilePath(target) + "." + ExtractFileName(target) + ".torvane-" +
           std::to_string(::GetCurrentProcessId()) + ".tmp";
}

bool CommitReplace(const std::string& temp, const std::string& target, std::string* error) {
    const std::wstring wideTemp = win32::Wide(temp);
    const std::wstring wideTarget = win32::Wide(target);
    auto fail = [&](DWORD err) {
        if (error) *error = win32::ErrorText(err);
        ::DeleteFileW(wideTemp.c_str());
        return false;
    };
    // The new bytes must be on disk before the name points at them.
    HANDLE file = ::CreateFileW(wideTemp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fail(::GetLastError());
    const bool flushed = ::FlushFileBuffers(file);
    const DWORD flushError = ::GetLastError();
    ::CloseHandle(file);
    if (!flushed) return fail(flushError);

    // An existing target keeps its attributes and access rights.
    if (FileExists(target) && ::ReplaceFileW(wideTarget.c_str(), wideTemp.c_str(), nullptr,
                                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return true;
    // No target yet, or a file system without ReplaceFile: a plain move,
    // which replaces the name in one step as well.
    if (::MoveFileExW(wideTemp.c_str(), wideTarget.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    return fail(::GetLastError());
}

} // namespace torvane::platform
