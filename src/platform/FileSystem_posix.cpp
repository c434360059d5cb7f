#include "platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
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

std::filesystem::path PathOf(const std::string& name) {
    return std::filesystem::path(name);
}

std::string NameOf(const std::filesystem::path& path) {
    return path.string();
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

namespace {

// File systems whose files are made up on reading.
bool IsPseudoFileSystem(int fd) {
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x9fa0UL:     // proc
    case 0x62656572UL: // sysfs
    case 0x64626720UL: // debugfs
    case 0x73636673UL: // securityfs
    case 0x74726163UL: // tracefs
    case 0x27e0ebUL:   // cgroup
    case 0x63677270UL: // cgroup2
        return true;
    default:
        return false;
    }
}

} // namespace

std::FILE* OpenRegularFile(const std::string& path, FileReadError* error) {
    auto fail = [error](FileReadError why) -> std::FILE* {
        if (error) *error = why;
        return nullptr;
    };
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return fail(FileReadError::CannotOpen);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return fail(FileReadError::CannotOpen);
    }
    if (!S_ISREG(st.st_mode) || IsPseudoFileSystem(fd)) {
        ::close(fd);
        return fail(FileReadError::NotRegular);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        return fail(FileReadError::CannotOpen);
    }
    if (error) *error = FileReadError::None;
    return file;
}

} // namespace torvane::platform
