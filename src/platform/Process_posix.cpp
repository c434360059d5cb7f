#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace torvane::platform {
namespace {

int g_writeEnd = -1;

extern "C" void OnTerminationSignal(int signal) {
    const int saved = errno; // only async-signal-safe calls here
    const unsigned char byte = static_cast<unsigned char>(signal);
    (void)::write(g_writeEnd, &byte, 1);
    errno = saved;
}

} // namespace

int CurrentProcessId() {
    return static_cast<int>(::getpid());
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

int WatchTerminationSignals() {
    static int readEnd = -1;
    if (readEnd >= 0) return readEnd;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    readEnd = fds[0];
    g_writeEnd = fds[1];
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    return readEnd;
}

int TakeTerminationSignal(int fd) {
    unsigned char byte = 0;
    return ::read(fd, &byte, 1) == 1 ? byte : 0;
}

} // namespace torvane::platform
