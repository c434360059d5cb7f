#include "platform/SingleInstance.h"

#include "platform/Names.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace torvane::platform {
namespace {

bool WaitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    int r;
    do {
        r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r > 0;
}

bool ReadAll(int fd, void* buf, size_t n, int timeoutMs) {
    auto* p = static_cast<uint8_t*>(buf);
    while (n > 0) {
        if (!WaitFor(fd, POLLIN, timeoutMs)) return false;
        ssize_t r = ::read(fd, p, n);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= static_cast<size_t>(r);
    }
    return true;
}

bool WriteAll(int fd, const void* buf, size_t n) {
    const auto* p = static_cast<const uint8_t*>(buf);
    while (n > 0) {
        ssize_t r = ::send(fd, p, n, MSG_NOSIGNAL);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= static_cast<size_t>(r);
    }
    return true;
}

bool MakeAddress(sockaddr_un& addr, const std::string& path) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

void PutU32(uint8_t* b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetU32(const uint8_t* b) {
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

// A record is a file name; anything far larger is not from a sender of ours.
constexpr uint32_t kMaxRecordBytes = 1u << 20;

// A real directory of this user: not a link, which another user could point
// elsewhere (a trailing separator would make lstat follow it).
bool IsOwnDirectory(std::string dir, struct stat& st) {
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

} // namespace

std::string SingleInstance::RuntimeDirectoryFor(const char* xdgRuntimeDir, const std::string& fallback) {
    struct stat st;
    // The session's directory is private by the standard; one that others
    // may write into is not the session's.
    if (xdgRuntimeDir && xdgRuntimeDir[0] == '/' && IsOwnDirectory(xdgRuntimeDir, st) &&
        (st.st_mode & (S_IWGRP | S_IWOTH)) == 0) {
        std::string dir = xdgRuntimeDir;
        if (dir.back() != '/') dir += '/';
        return dir;
    }
    (void)::mkdir(fallback.c_str(), 0700);
    if (!IsOwnDirectory(fallback, st)) return "";
    // Ours, but perhaps made by an older version or with a loose umask.
    if ((st.st_mode & 077) != 0 && ::chmod(fallback.c_str(), 0700) != 0) return "";
    return fallback.back() == '/' ? fallback : fallback + '/';
}

std::string SingleInstance::RuntimeDirectory() {
    return RuntimeDirectoryFor(std::getenv("XDG_RUNTIME_DIR"), "/tmp/torvane-" + std::to_string(::getuid()));
}

SingleInstance::~SingleInstance() {
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(socketPath_.c_str());
    }
    if (lockFd_ >= 0) ::close(lockFd_); // closing releases the lock
}

bool SingleInstance::Acquire() {
    if (lockFd_ >= 0 || unlocked_) return true;
    const std::string dir = RuntimeDirectory();
    if (dir.empty()) {
        unlocked_ = true;
        return true;
    }
    std::string path = dir + kInstanceLockName;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

int SingleInstance::Listen() {
    if (listenFd_ >= 0) return listenFd_;
    const std::string dir = RuntimeDirectory();
    if (dir.empty()) return -1;
    socketPath_ = dir + kInstanceWindowClass;
    sockaddr_un addr;
    if (!MakeAddress(addr, socketPath_)) return -1;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    // We hold the lock, so a socket file left here belongs to a dead instance.
    ::unlink(socketPath_.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return -1;
    }
    listenFd_ = fd;
    return fd;
}

bool SingleInstance::Receive(CopyDataRecord& record, int* connection) {
    if (listenFd_ < 0) return false;
    int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) return false;
    uint8_t head[8];
    if (!ReadAll(c, head, sizeof head, 5000)) {
        ::close(c);
        return false;
    }
    record.dwData = GetU32(head);
    uint32_t cb = GetU32(head + 4);
    if (cb > kMaxRecordBytes) {
        ::close(c);
        return false;
    }
    record.bytes.assign(cb, 0);
    if (!ReadAll(c, record.bytes.data(), cb, 5000)) {
        ::close(c);
        return false;
    }
    *connection = c;
    return true;
}

void SingleInstance::Acknowledge(int connection) {
    if (connection < 0) return;
    uint8_t ack = 1;
    WriteAll(connection, &ack, 1);
    ::close(connection);
}

bool SingleInstance::Send(const CopyDataRecord& record, int timeoutMs) {
    const std::string dir = RuntimeDirectory();
    sockaddr_un addr;
    if (dir.empty() || !MakeAddress(addr, dir + kInstanceWindowClass)) return false;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return false;
    }
    uint8_t head[8];
    PutU32(head, record.dwData);
    PutU32(head + 4, static_cast<uint32_t>(record.bytes.size()));
    bool ok = WriteAll(fd, head, sizeof head) && WriteAll(fd, record.bytes.data(), record.bytes.size());
    uint8_t ack = 0;
    ok = ok && ReadAll(fd, &ack, 1, timeoutMs);
    ::close(fd);
    return ok;
}

} // namespace torvane::platform
