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

} // namespace

std::string SingleInstance::RuntimeDirectory() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    std::string dir;
    if (xdg && *xdg) {
        dir = xdg;
    } else {
        dir = "/tmp/torvane-" + std::to_string(::getuid());
        ::mkdir(dir.c_str(), 0700);
    }
    if (dir.back() != '/') dir += '/';
    return dir;
}

SingleInstance::~SingleInstance() {
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(socketPath_.c_str());
    }
    if (lockFd_ >= 0) ::close(lockFd_); // closing releases the lock
}

bool SingleInstance::Acquire() {
    if (lockFd_ >= 0) return true;
    std::string path = RuntimeDirectory() + kInstanceLockName;
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
    socketPath_ = RuntimeDirectory() + kInstanceWindowClass;
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
    sockaddr_un addr;
    if (!MakeAddress(addr, RuntimeDirectory() + kInstanceWindowClass)) return false;
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
