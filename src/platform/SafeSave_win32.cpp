#include "platform/SafeSave.h"

#include "platform/FileSystem.h"
#include "platform/SafeSaveFiles.h"
#include "platform/Win32Text.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <vector>

// The error codes kept are the C runtime's errno values, as on every other
// system, so callers classify and word them the same way everywhere.

namespace torvane::platform {
namespace {

int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    default:
        return EIO;
    }
}

int LastErrno() {
    return ErrnoOf(::GetLastError());
}

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

// The file a symbolic link or junction leads to, so that the link keeps
// pointing at the file that receives the text instead of being replaced.
bool ResolveLinks(const std::string& path, std::string* resolved, int* error) {
    const DWORD attributes = ::GetFileAttributesW(win32::Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        *resolved = path;
        return true;
    }
    HANDLE file =
        ::CreateFileW(win32::Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = LastErrno();
        return false;
    }
    wchar_t buffer[32768];
    const DWORD n = ::GetFinalPathNameByHandleW(file, buffer, 32768, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    ::CloseHandle(file);
    if (n == 0 || n >= 32768) {
        *error = n == 0 ? LastErrno() : ENAMETOOLONG;
        return false;
    }
    std::wstring wide(buffer, n);
    if (wide.starts_with(L"\\\\?\\UNC\\"))
        wide = L"\\" + wide.substr(7);
    else if (wide.starts_with(L"\\\\?\\"))
        wide = wide.substr(4);
    *resolved = win32::Narrow(wide);
    return true;
}

} // namespace

bool TSafeSave::Open(int newFileMode) {
    int err = 0;
    if (!ResolveLinks(target_, &resolved_, &err)) return Fail(err);
    const std::wstring wide = win32::Wide(resolved_);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(EISDIR);
        // Refused rather than replaced: a read-only file stays as it is.
        if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return Fail(EACCES);
        // Opening for writing is the access check (access lists included),
        // and tells a disk file from a device or a pipe.
        HANDLE file =
            ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return Fail(LastErrno());
        BY_HANDLE_FILE_INFORMATION info{};
        const bool isDisk = ::GetFileType(file) == FILE_TYPE_DISK;
        const bool known = ::GetFileInformationByHandle(file, &info);
        ::CloseHandle(file);
        if (!isDisk) return Fail(ENXIO);
        exists_ = true;
        // A new file would leave the other links with the old text.
        inPlace_ = known && info.nNumberOfLinks > 1;
    } else if (const DWORD code = ::GetLastError(); code != ERROR_FILE_NOT_FOUND) {
        return Fail(ErrnoOf(code));
    }
    (void)newFileMode; // a new file gets the folder's inherited access rights
    RemoveStaleTemps();
    return inPlace_ ? OpenInPlace() : OpenNewText();
}

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    HANDLE file =
        ::CreateFileW(win32::Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return stamp;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(file, &info)) {
        stamp.exists = true;
        stamp.size = static_cast<int64_t>((uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
        // 100 ns ticks.
        const uint64_t ticks =
            (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
        stamp.mtimeNs = static_cast<int64_t>(ticks) * 100;
        stamp.device = info.dwVolumeSerialNumber;
        stamp.inode = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    }
    ::CloseHandle(file);
    return stamp;
}

std::string StateDirectory() {
    // The per-user local application data folder, private to the user.
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    if (local && local[0]) return win32::Narrow(local) + "\\";
    const wchar_t* profile = ::_wgetenv(L"USERPROFILE");
    return win32::Narrow(profile && profile[0] ? profile : L"C:") + "\\AppData\\Local\\";
}

bool EnsurePrivateDirectory(const std::string& path) {
    // Folders below the user's profile inherit an access list that only the
    // user (and the system) may enter; a link or junction is refused.
    std::string partial;
    for (size_t pos = 0; pos != std::string::npos;) {
        pos = path.find_first_of("\\/", pos + 1);
        partial = path.substr(0, pos);
        if (!partial.empty() && partial.back() != ':')
            ::CreateDirectoryW(win32::Wide(partial).c_str(), nullptr);
    }
    const DWORD attributes = ::GetFileAttributesW(win32::Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    const FileStamp sa = StampOf(a), sb = StampOf(b);
    return sa.exists && sb.exists && sa.device == sb.device && sa.inode == sb.inode;
}

namespace save_files {

namespace {

int DescriptorOf(HANDLE file, int* fd) {
    *fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
    if (*fd >= 0) return 0;
    ::CloseHandle(file);
    return EMFILE;
}

} // namespace

int CreateNew(const std::string& path, int* fd) {
    // Shared with nobody while it is written; folders below the user's
    // profile give a new file an access list of the user alone.
    HANDLE file = ::CreateFileW(win32::Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrno();
    const int code = DescriptorOf(file, fd);
    if (code != 0) ::DeleteFileW(win32::Wide(path).c_str());
    return code;
}

int OpenExisting(const std::string& path, bool forWriting, int* fd) {
    HANDLE file = ::CreateFileW(win32::Wide(path).c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ,
                                forWriting ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrno();
    return DescriptorOf(file, fd);
}

int WriteAll(int fd, const void* data, size_t count) {
    const char* bytes = static_cast<const char*>(data);
    while (count > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(HandleOf(fd), bytes, chunk, &put, nullptr)) return LastErrno();
        if (put == 0) return ENOSPC;
        bytes += put;
        count -= put;
    }
    return 0;
}

int CopyContents(int from, int to) {
    char buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(HandleOf(from), buffer, sizeof buffer, &got, nullptr)) return LastErrno();
        if (got == 0) break;
        if (const int code = WriteAll(to, buffer, got)) return code;
    }
    if (!::SetEndOfFile(HandleOf(to)) || !::FlushFileBuffers(HandleOf(to))) return LastErrno();
    return 0;
}

int SeekToStart(int fd) {
    LARGE_INTEGER zero{};
    return ::SetFilePointerEx(HandleOf(fd), zero, nullptr, FILE_BEGIN) ? 0 : LastErrno();
}

int SetLength(int fd, int64_t length) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = length;
    return ::SetFileInformationByHandle(HandleOf(fd), FileEndOfFileInfo, &end, sizeof end) ? 0 : LastErrno();
}

int Sync(int fd) {
    return ::FlushFileBuffers(HandleOf(fd)) ? 0 : LastErrno();
}

int Close(int fd) {
    return ::_close(fd) == 0 ? 0 : EIO;
}

int Replace(const std::string& temp, const std::string& target, bool targetExists) {
    const std::wstring wideTemp = win32::Wide(temp);
    const std::wstring wideTarget = win32::Wide(target);
    // An existing target keeps its attributes and access rights; with no
    // target yet, or a file system without ReplaceFile, a plain move
    // replaces the name in one step as well.
    const bool replaced = targetExists && ::ReplaceFileW(wideTarget.c_str(), wideTemp.c_str(), nullptr,
                                                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    if (!replaced && !::MoveFileExW(wideTemp.c_str(), wideTarget.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return LastErrno();
    return 0;
}

void Remove(const std::string& path) noexcept {
    ::DeleteFileW(win32::Wide(path).c_str());
}

uint64_t CurrentProcessId() {
    return ::GetCurrentProcessId();
}

bool ProcessIsGone(uint64_t pid) {
    if (pid > MAXDWORD) return false;
    HANDLE process =
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER; // no such process; denied: it runs
    // A process that has ended but whose handle someone still holds writes
    // nothing any more either.
    const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW(win32::Wide(folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do
        names.push_back(win32::Narrow(entry.cFileName));
    while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return names;
}

void RemoveOwnFile(const std::string& path) noexcept {
    // Only a plain file: never a folder, nor a link or junction planted
    // under a temporary file's name. A save holds its temporary file without
    // sharing while it writes, so a live writer's file refuses the delete,
    // even that of a process on another machine whose id means nothing here.
    const std::wstring wide = win32::Wide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_READONLY)) ==
            0)
        ::DeleteFileW(wide.c_str());
}

} // namespace save_files

} // namespace torvane::platform
