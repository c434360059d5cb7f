#include "platform/SafeSave.h"

#include "platform/FileSystem.h"
#include "platform/SafeSaveFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace torvane::platform {
namespace {

constexpr int kMaxLinks = 40; // as the kernel's own limit for a path walk

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

mode_t CurrentUmask() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

} // namespace

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
        if (!OpenNewText()) return false;
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

// Extended attributes of the old file go with its text: its access control
// list (system.posix_acl_access) and what tools put in user.*. Best effort:
// an attribute this user may not set (security.*, trusted.*) or a file
// system without them is no reason to refuse the save.
static void CopyExtendedAttributes(const std::string& from, int to) {
    const ssize_t listSize = ::llistxattr(from.c_str(), nullptr, 0);
    if (listSize <= 0) return;
    std::vector<char> names(static_cast<size_t>(listSize));
    const ssize_t got = ::llistxattr(from.c_str(), names.data(), names.size());
    if (got <= 0) return;
    std::vector<char> value;
    for (size_t at = 0; at < static_cast<size_t>(got);) {
        const char* name = names.data() + at;
        at += std::strlen(name) + 1;
        const ssize_t size = ::lgetxattr(from.c_str(), name, nullptr, 0);
        if (size < 0) continue;
        value.resize(static_cast<size_t>(size));
        const ssize_t read = ::lgetxattr(from.c_str(), name, value.data(), value.size());
        if (read >= 0) (void)::fsetxattr(to, name, value.data(), static_cast<size_t>(read), 0);
    }
}

bool TSafeSave::ApplyIdentity(int fd) {
    if (exists_ && ::fchown(fd, uid_, gid_) != 0) return false;
    // After the owner: changing it may clear the set-id bits.
    if (::fchmod(fd, mode_) != 0) return false;
    if (exists_) CopyExtendedAttributes(resolved_, fd);
    return true;
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

namespace save_files {

int CreateNew(const std::string& path, int* fd) {
    // Without following links: a name planted as a link leads nowhere.
    *fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    return *fd >= 0 ? 0 : errno;
}

int OpenExisting(const std::string& path, bool forWriting, int* fd) {
    *fd = ::open(path.c_str(), (forWriting ? O_WRONLY : O_RDONLY) | O_NOFOLLOW | O_CLOEXEC);
    return *fd >= 0 ? 0 : errno;
}

int WriteAll(int fd, const void* data, size_t count) {
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        const ssize_t n = ::write(fd, p, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        p += n;
        count -= static_cast<size_t>(n);
    }
    return 0;
}

int CopyContents(int from, int to) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        if (const int code = WriteAll(to, buffer, static_cast<size_t>(n))) return code;
    }
    const off_t end = ::lseek(to, 0, SEEK_CUR);
    if (end < 0 || ::ftruncate(to, end) != 0 || ::fsync(to) != 0) return errno;
    return 0;
}

int SeekToStart(int fd) {
    return ::lseek(fd, 0, SEEK_SET) == 0 ? 0 : errno;
}

int SetLength(int fd, int64_t length) {
    return ::ftruncate(fd, static_cast<off_t>(length)) == 0 ? 0 : errno;
}

int Sync(int fd) {
    return ::fsync(fd) == 0 ? 0 : errno;
}

int Close(int fd) {
    return ::close(fd) == 0 ? 0 : errno;
}

int Replace(const std::string& temp, const std::string& target, bool) {
    if (::rename(temp.c_str(), target.c_str()) != 0) return errno;
    const std::string folder = ExtractFilePath(target);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd); // some file systems cannot sync a folder; the rename stands anyway
        ::close(fd);
    }
    return 0;
}

void Remove(const std::string& path) noexcept {
    ::unlink(path.c_str());
}

uint64_t CurrentProcessId() {
    return static_cast<uint64_t>(::getpid());
}

bool ProcessIsGone(uint64_t pid) {
    return pid <= static_cast<uint64_t>(INT32_MAX) && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
           errno == ESRCH;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

void RemoveOwnFile(const std::string& path) noexcept {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
        ::unlink(path.c_str());
}

} // namespace save_files

} // namespace torvane::platform
