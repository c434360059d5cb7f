#include "platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace torvane::platform {

std::string ProgramDirectory() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<size_t>(n));
    return ExtractFilePath(path);
}

bool FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::string ExtractFilePath(const std::string& path) {
    size_t p = path.find_last_of('/');
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileName(const std::string& path) {
    size_t p = path.find_last_of('/');
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string TempPathBeside(const std::string& target) {
    // Same folder, so the final rename never crosses file systems.
    return ExtractFilePath(target) + "." + ExtractFileName(target) + ".torvane-" +
           std::to_string(::getpid()) + ".tmp";
}

bool CommitReplace(const std::string& temp, const std::string& target, std::string* error) {
    auto fail = [&](int err) {
        if (error) *error = std::strerror(err);
        ::unlink(temp.c_str());
        return false;
    };
    int fd = ::open(temp.c_str(), O_RDONLY);
    if (fd < 0) return fail(errno);
    // The new bytes must be on disk before the name points at them.
    if (::fsync(fd) != 0) {
        int err = errno;
        ::close(fd);
        return fail(err);
    }
    // Keep the permissions of the file being replaced.
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
    ::close(fd);
    if (::rename(temp.c_str(), target.c_str()) != 0) return fail(errno);
    return true;
}

} // namespace torvane::platform
