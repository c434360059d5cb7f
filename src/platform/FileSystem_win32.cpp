#include "platform/FileSystem.h"

#include "platform/Win32Text.h"

#include <windows.h>
// <windows.h> maps DeleteFile to DeleteFileA/W; ours is the portable one.
#undef DeleteFile

#include <fcntl.h>
#include <io.h>

#include <vector>

namespace torvane::platform {
namespace {

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

std::filesystem::path PathOf(const std::string& name) {
    return std::filesystem::path(win32::Wide(name));
}

std::string NameOf(const std::filesystem::path& path) {
    return win32::Narrow(path.native());
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return ::_wfopen(win32::Wide(path).c_str(), win32::Wide(mode).c_str());
}

std::FILE* OpenRegularFile(const std::string& path, FileReadError* error) {
    auto fail = [error](FileReadError why) -> std::FILE* {
        if (error) *error = why;
        return nullptr;
    };
    const DWORD attributes = AttributesOf(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return fail(FileReadError::NotRegular);
    // Opening never waits: a named pipe without a server fails at once, and
    // a device or pipe that opens is recognised by its type before a read.
    HANDLE file = ::CreateFileW(win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fail(FileReadError::CannotOpen);
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ::CloseHandle(file);
        return fail(FileReadError::NotRegular);
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(file);
        return fail(FileReadError::CannotOpen);
    }
    std::FILE* stream = ::_fdopen(fd, "rb");
    if (!stream) {
        ::_close(fd);
        return fail(FileReadError::CannotOpen);
    }
    if (error) *error = FileReadError::None;
    return stream;
}

} // namespace torvane::platform
