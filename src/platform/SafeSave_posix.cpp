#include "platform/SafeSave.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace torvane::platform {
namespace {

constexpr int kMaxLinks = 40;     // as the kernel's own limit for a path walk
constexpr int kNameAttempts = 64; // random names tried before giving up
constexpr const char kTempTag[] = ".torvane-";
constexpr const char kTempSuffix[] = ".tmp";
constexpr const char kBackupSuffix[] = ".bak";

// The file a chain of symbolic links ends at. Only the last component
// matters: the rename happens in the folder that holds the real file.
bool ResolveLinks(const std::string& path, std::string* resolved, int* error) {
    std::string p = path;
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                *error = errno;
                return false;
            }
            *resolved = p; // a new file, or a dangling link's target to create
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            *resolved = p;
            return true;
        }
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0) {
            *error = errno;
            return false;
        }
        link.resize(static_cast<size_t>(n));
        p = link.starts_with('/') ? link : ExtractFilePath(p) + link;
    }
    *error = ELOOP;
    return false;
}

std::string RandomTag() {
    static std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string tag(10, ' ');
    for (char& c : tag)
        c = kAlphabet[generator() % (sizeof kAlphabet - 1)];
    return tag;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

void SyncFolder(const std::string& file) {
    const std::string folder = ExtractFilePath(file);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd); // some file systems cannot sync a folder; the rename stands anyway
    ::close(fd);
}

bool WriteAll(int fd, const void* data, size_t count, int* error) {
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        const ssize_t n = ::write(fd, p, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            *error = errno;
            return false;
        }
        if (n == 0) {
            *error = ENOSPC;
            return false;
        }
        p += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

// The process id in a temporary file's name ".NAME.torvane-PID[-TAG].tmp",
// or 0 when the name is not one of ours for that file.
pid_t TempOwnerPid(const std::string& entry, const std::string& prefix) {
    if (!entry.starts_with(prefix) || !entry.ends_with(kTempSuffix)) return 0;
    const std::string middle =
        entry.substr(prefix.size(), entry.size() - prefix.size() - strlen(kTempSuffix));
    const size_t dash = middle.find('-');
    const std::string digits = middle.substr(0, dash);
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return static_cast<pid_t>(std::stol(digits));
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
    case EDQUOT:
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
    struct stat st;
    if (::stat(resolved_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
        if (!S_ISREG(st.st_mode)) return Fail(ENXIO);
        // Refused rather than replaced: renaming over a file needs only the
        // folder's permission, which would let a save overwrite a read-only
        // file or one that belongs to somebody else.
        if (::faccessat(AT_FDCWD, resolved_.c_str(), W_OK, AT_EACCESS) != 0) return Fail(errno);
        exists_ = true;
        uid_ = st.st_uid;
        gid_ = st.st_gid;
        mode_ = st.st_mode & 07777;
        // A new file would leave the other links with the old text.
        inPlace_ = st.st_nlink > 1;
    } else if (errno != ENOENT) {
        return Fail(errno);
    } else {
        mode_ = newFileMode >= 0 ? static_cast<uint32_t>(newFileMode) & 07777 : 0666 & ~CurrentUmask();
    }
    RemoveStaleTemps();
    if (!inPlace_) {
        if (!OpenTemp(kTempSuffix, &fd_, &temp_)) return false;
        if (ApplyIdentity(fd_)) return true;
        const int code = errno;
        ::close(fd_);
        fd_ = -1;
        ::unlink(temp_.c_str());
        temp_.clear();
        // A file of another owner or group that we may write keeps its
        // identity only when written in place.
        if (!exists_ || (code != EPERM && code != EACCES)) return Fail(code);
        inPlace_ = true;
    }
    return OpenInPlace();
}

bool TSafeSave::OpenTemp(const std::string& suffix, int* fd, std::string* path) {
    const std::string stem = ExtractFilePath(resolved_) + "." + ExtractFileName(resolved_) + kTempTag +
                             std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string candidate = stem + RandomTag() + suffix;
        // Exclusive and without following links: a name planted by someone
        // else is never opened, whatever it points at.
        *fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (*fd >= 0) {
            *path = candidate;
            return true;
        }
        if (errno != EEXIST) return Fail(errno);
    }
    return Fail(EEXIST);
}

bool TSafeSave::ApplyIdentity(int fd) {
    if (exists_ && ::fchown(fd, uid_, gid_) != 0) return false;
    // After the owner: changing it may clear the set-id bits.
    return ::fchmod(fd, mode_) == 0;
}

bool TSafeSave::CopyFile(int from, int to) {
    char buffer[1 << 16];
    int err = 0;
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Fail(errno);
        }
        if (n == 0) return true;
        if (!WriteAll(to, buffer, static_cast<size_t>(n), &err)) return Fail(err);
    }
}

bool TSafeSave::OpenInPlace() {
    int backupFd = -1;
    if (!OpenTemp(kBackupSuffix, &backupFd, &backup_)) return false;
    const int source = ::open(resolved_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    bool copied = source >= 0 ? CopyFile(source, backupFd) : Fail(errno);
    if (source >= 0) ::close(source);
    if (copied && ::fsync(backupFd) != 0) copied = Fail(errno);
    ::close(backupFd);
    if (!copied) {
        ::unlink(backup_.c_str());
        backup_.clear();
        return false;
    }
    // Not truncated here: the bytes are overwritten and the length set at
    // the end, so blocks the file already has are reused on a full disk.
    fd_ = ::open(resolved_.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) return Fail(errno);
    return true;
}

bool TSafeSave::Write(const void* data, size_t count) {
    if (fd_ < 0) return Fail(EBADF);
    int err = 0;
    touched_ = true;
    if (!WriteAll(fd_, data, count, &err)) return Fail(err);
    written_ += static_cast<int64_t>(count);
    return true;
}

bool TSafeSave::Rewind() {
    if (fd_ < 0) return Fail(EBADF);
    if (::lseek(fd_, 0, SEEK_SET) != 0) return Fail(errno);
    written_ = 0;
    if (!inPlace_ && ::ftruncate(fd_, 0) != 0) return Fail(errno);
    return true;
}

bool TSafeSave::Commit() {
    if (fd_ < 0 || error_ != 0) return Fail(EBADF);
    if (inPlace_ && ::ftruncate(fd_, written_) != 0) return Fail(errno);
    // The new bytes must be on disk before the name points at them.
    if (::fsync(fd_) != 0) return Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fail(errno);
    if (!inPlace_) {
        if (::rename(temp_.c_str(), resolved_.c_str()) != 0) return Fail(errno);
        temp_.clear();
        SyncFolder(resolved_);
    } else {
        ::unlink(backup_.c_str());
        backup_.clear();
    }
    committed_ = true;
    return true;
}

void TSafeSave::Discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (committed_) return;
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    if (backup_.empty() || keepBackup_) return;
    bool restored = !touched_;
    if (!restored) {
        // Put the old bytes back where the failed write left part of the new.
        const int from = ::open(backup_.c_str(), O_RDONLY | O_CLOEXEC);
        const int to = ::open(resolved_.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
        struct stat st;
        const int saved = error_;
        restored = from >= 0 && to >= 0 && ::fstat(from, &st) == 0 && CopyFile(from, to) &&
                   ::ftruncate(to, st.st_size) == 0 && ::fsync(to) == 0;
        error_ = saved;
        if (from >= 0) ::close(from);
        if (to >= 0) ::close(to);
    }
    if (restored) {
        ::unlink(backup_.c_str());
        backup_.clear();
    } else {
        keepBackup_ = true;
    }
}

void TSafeSave::RemoveStaleTemps() const {
    const std::string folder = ExtractFilePath(resolved_);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    const std::string prefix = "." + ExtractFileName(resolved_) + kTempTag;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const pid_t pid = TempOwnerPid(name, prefix);
        // A live process may still be writing its file; a reused id only
        // delays the clean-up.
        if (pid <= 0 || pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
        struct stat st;
        const std::string path = folder + name;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.size = st.st_size;
    stamp.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    return stamp;
}

std::string StateDirectory() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] ? home : "/tmp") + "/.local/state/";
}

bool EnsurePrivateDirectory(const std::string& path) {
    std::string partial;
    for (size_t pos = 0; pos != std::string::npos;) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (!partial.empty()) ::mkdir(partial.c_str(), 0700);
    }
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
    return (st.st_mode & 077) == 0 || ::chmod(path.c_str(), 0700) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace torvane::platform
