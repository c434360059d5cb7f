#include "platform/SafeSave.h"

#include "platform/FileSystem.h"
#include "platform/Win32Text.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <random>

// The error codes kept are the C runtime's errno values, as on every other
// system, so callers classify and word them the same way everywhere.

namespace torvane::platform {
namespace {

constexpr int kNameAttempts = 64; // random names tried before giving up
constexpr const char kTempTag[] = ".torvane-";
constexpr const char kTempSuffix[] = ".tmp";
constexpr const char kBackupSuffix[] = ".bak";

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

std::string RandomTag() {
    static std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string tag(10, ' ');
    for (char& c : tag)
        c = kAlphabet[generator() % (sizeof kAlphabet - 1)];
    return tag;
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

// Copies the whole contents; the destination keeps its identity (links,
// access rights) because it is overwritten and cut, never recreated.
bool CopyContents(HANDLE from, HANDLE to, int* error) {
    char buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(from, buffer, sizeof buffer, &got, nullptr)) break;
        if (got == 0) {
            if (::SetEndOfFile(to) && ::FlushFileBuffers(to)) return true;
            break;
        }
        DWORD put = 0;
        if (!::WriteFile(to, buffer, got, &put, nullptr) || put != got) break;
    }
    *error = LastErrno();
    return false;
}

} // namespace

SaveFailure ClassifySaveError(int errorCode) noexcept {
    switch (errorCode) {
    case 0:
        return SaveFailure::None;
    case EACCES:
    case EPERM:
        return SaveFailure::AccessDenied;
    case ENOSPC:
    case EFBIG:
        return SaveFailure::DiskFull;
    case EROFS:
        return SaveFailure::ReadOnlyFileSystem;
    case EISDIR:
    case ENODEV:
    case ENXIO:
        return SaveFailure::NotAFile;
    default:
        return SaveFailure::Other;
    }
}

TSafeSave::TSafeSave(std::string target) : target_(std::move(target)) {}

TSafeSave::~TSafeSave() {
    Discard();
}

bool TSafeSave::Fail(int code) {
    if (error_ == 0) error_ = code;
    return false;
}

std::string TSafeSave::ErrorText() const {
    std::string text = std::strerror(error_);
    if (keepBackup_) text += " (the previous contents are kept in " + backup_ + ")";
    return text;
}

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
    if (!inPlace_) return OpenTemp(kTempSuffix, &fd_, &temp_);
    return OpenInPlace();
}

bool TSafeSave::OpenTemp(const std::string& suffix, int* fd, std::string* path) {
    const std::string stem = ExtractFilePath(resolved_) + "." + ExtractFileName(resolved_) + kTempTag +
                             std::to_string(::GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string candidate = stem + RandomTag() + suffix;
        // Exclusive: a name somebody else already holds is never opened.
        HANDLE file = ::CreateFileW(win32::Wide(candidate).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD code = ::GetLastError();
            if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) return Fail(ErrnoOf(code));
            continue;
        }
        *fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
        if (*fd < 0) {
            ::CloseHandle(file);
            ::DeleteFileW(win32::Wide(candidate).c_str());
            return Fail(EMFILE);
        }
        *path = candidate;
        return true;
    }
    return Fail(EEXIST);
}

bool TSafeSave::OpenInPlace() {
    int backupFd = -1;
    if (!OpenTemp(kBackupSuffix, &backupFd, &backup_)) return false;
    HANDLE source =
        ::CreateFileW(win32::Wide(resolved_).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    int err = 0;
    bool copied = source != INVALID_HANDLE_VALUE && CopyContents(source, HandleOf(backupFd), &err);
    if (source == INVALID_HANDLE_VALUE) err = LastErrno();
    if (source != INVALID_HANDLE_VALUE) ::CloseHandle(source);
    ::_close(backupFd);
    if (!copied) {
        ::DeleteFileW(win32::Wide(backup_).c_str());
        backup_.clear();
        return Fail(err);
    }
    HANDLE target = ::CreateFileW(win32::Wide(resolved_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE) return Fail(LastErrno());
    fd_ = ::_open_osfhandle(reinterpret_cast<intptr_t>(target), _O_BINARY);
    if (fd_ < 0) {
        ::CloseHandle(target);
        return Fail(EMFILE);
    }
    return true;
}

bool TSafeSave::Write(const void* data, size_t count) {
    if (fd_ < 0) return Fail(EBADF);
    touched_ = true;
    const char* bytes = static_cast<const char*>(data);
    while (count > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(HandleOf(fd_), bytes, chunk, &put, nullptr)) return Fail(LastErrno());
        if (put == 0) return Fail(ENOSPC);
        bytes += put;
        count -= put;
        written_ += put;
    }
    return true;
}

bool TSafeSave::Rewind() {
    if (fd_ < 0) return Fail(EBADF);
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(HandleOf(fd_), zero, nullptr, FILE_BEGIN)) return Fail(LastErrno());
    written_ = 0;
    if (!inPlace_ && !::SetEndOfFile(HandleOf(fd_))) return Fail(LastErrno());
    return true;
}

bool TSafeSave::Commit() {
    if (fd_ < 0 || error_ != 0) return Fail(EBADF);
    HANDLE file = HandleOf(fd_);
    if (inPlace_ && !::SetEndOfFile(file)) return Fail(LastErrno());
    // The new bytes must be on disk before the name points at them.
    if (!::FlushFileBuffers(file)) return Fail(LastErrno());
    const int fd = fd_;
    fd_ = -1;
    if (::_close(fd) != 0) return Fail(EIO);
    if (!inPlace_) {
        const std::wstring wideTemp = win32::Wide(temp_);
        const std::wstring wideTarget = win32::Wide(resolved_);
        // An existing target keeps its attributes and access rights; with no
        // target yet, or a file system without ReplaceFile, a plain move
        // replaces the name in one step as well.
        const bool replaced = exists_ && ::ReplaceFileW(wideTarget.c_str(), wideTemp.c_str(), nullptr,
                                                        REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        if (!replaced && !::MoveFileExW(wideTemp.c_str(), wideTarget.c_str(),
                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return Fail(LastErrno());
        temp_.clear();
    } else {
        ::DeleteFileW(win32::Wide(backup_).c_str());
        backup_.clear();
    }
    committed_ = true;
    return true;
}

void TSafeSave::Discard() noexcept {
    if (fd_ >= 0) {
        ::_close(fd_);
        fd_ = -1;
    }
    if (committed_) return;
    if (!temp_.empty()) {
        ::DeleteFileW(win32::Wide(temp_).c_str());
        temp_.clear();
    }
    if (backup_.empty() || keepBackup_) return;
    bool restored = !touched_;
    if (!restored) {
        // Put the old bytes back where the failed write left part of the new.
        HANDLE from = ::CreateFileW(win32::Wide(backup_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        HANDLE to = ::CreateFileW(win32::Wide(resolved_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        int ignored = 0;
        restored =
            from != INVALID_HANDLE_VALUE && to != INVALID_HANDLE_VALUE && CopyContents(from, to, &ignored);
        if (from != INVALID_HANDLE_VALUE) ::CloseHandle(from);
        if (to != INVALID_HANDLE_VALUE) ::CloseHandle(to);
    }
    if (restored) {
        ::DeleteFileW(win32::Wide(backup_).c_str());
        backup_.clear();
    } else {
        keepBackup_ = true;
    }
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

} // namespace torvane::platform
