#include "platform/ProcessRunner.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace torvane::platform {

namespace {

struct Pipe {
    int fd[2] = {-1, -1};
    bool Open() { return ::pipe2(fd, O_CLOEXEC) == 0; }
    void Close(int end) {
        if (fd[end] >= 0) ::close(fd[end]);
        fd[end] = -1;
    }
    ~Pipe() {
        Close(0);
        Close(1);
    }
};

// The program to execute. The child changes into the working directory
// before it starts the program, so a relative program path is made absolute
// against the caller's directory first, as a Windows start would resolve it.
std::string ResolveProgram(const std::string& program) {
    if (program.empty() || program[0] == '/') return program;
    // A bare name that is no file here is looked up in PATH instead.
    if (program.find('/') == std::string::npos && ::access(program.c_str(), F_OK) != 0) return program;
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd)) return program;
    return std::string(cwd) + "/" + program;
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 1;
}

} // namespace

namespace {

void KillSession(pid_t pid) {
    // The whole session, so that programs the child started go too.
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    int status;
    ::waitpid(pid, &status, 0);
}

} // namespace

ProcessResult RunProcess(const std::string& commandLine, const std::string& workingDirectory,
                         std::vector<std::string>& output, const ProcessLimits& limits) {
    output.clear();
    ProcessResult result;
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty()) return result;
    const std::string program = ResolveProgram(args[0]);
    const bool searchPath = program.find('/') == std::string::npos;
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    Pipe input, outputPipe, execStatus;
    if (!input.Open() || !outputPipe.Open()) return result;
    if (!execStatus.Open()) return result;

    const pid_t pid = ::fork();
    if (pid < 0) return result;
    if (pid == 0) {
        // Child: only async-signal-safe calls from here on.
        ::setsid(); // own session: no terminal, and one group to kill
        int err = 0;
        if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) err = errno;
        if (err == 0) {
            ::dup2(input.fd[0], 0);
            ::dup2(outputPipe.fd[1], 1);
            ::dup2(outputPipe.fd[1], 2);
            if (searchPath)
                ::execvp(program.c_str(), argv.data());
            else
                ::execv(program.c_str(), argv.data());
            err = errno;
        }
        ssize_t ignored = ::write(execStatus.fd[1], &err, sizeof err);
        (void)ignored;
        ::_exit(127);
    }

    // The exec-status pipe is close-on-exec: it reads end-of-file when the
    // program started, and an errno when it could not be started.
    execStatus.Close(1);
    input.Close(0);
    outputPipe.Close(1);
    int execError = 0;
    ssize_t got;
    do {
        got = ::read(execStatus.fd[0], &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    if (got > 0) {
        int status;
        ::waitpid(pid, &status, 0);
        return result;
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastOutput = start;
    OutputLineSplitter splitter(output, limits.maxLines, limits.maxBytes);
    // A pipe holds 64 KB on Linux; reading more per pass buys nothing.
    constexpr size_t kMaxRead = size_t{64} << 10;
    std::vector<char> buffer(1024);
    result.end = ProcessEnd::Exited;
    int exitCode = kStillActive;
    bool reaped = false;
    for (;;) {
        int status = 0;
        if (!reaped && ::waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            exitCode = ExitCodeOf(status);
        }
        int waiting = 0;
        bool readSome = false;
        if (::ioctl(outputPipe.fd[0], FIONREAD, &waiting) == 0 && waiting > 0) {
            const size_t want = std::min(static_cast<size_t>(waiting), kMaxRead);
            if (want > buffer.size()) buffer.resize(want);
            ssize_t n = ::read(outputPipe.fd[0], buffer.data(), want);
            if (n > 0) {
                splitter.Feed(buffer.data(), static_cast<size_t>(n));
                lastOutput = Clock::now();
                readSome = true;
            }
        }
        // Once the child has ended, whatever is still waiting is drained.
        if (reaped && !readSome) break;
        if (!readSome) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const Clock::time_point now = Clock::now();
        ProcessEnd stop = ProcessEnd::Exited;
        if (limits.cancel && limits.cancel->load())
            stop = ProcessEnd::Cancelled;
        else if (now - start >= limits.total)
            stop = ProcessEnd::TotalTimeout;
        else if (now - lastOutput >= limits.idle)
            stop = ProcessEnd::IdleTimeout;
        if (stop == ProcessEnd::Exited) continue;
        if (reaped) {
            // Ended, but something it started keeps the pipe busy.
            ::kill(-pid, SIGKILL);
        } else {
            KillSession(pid);
            exitCode = kStillActive;
            result.end = stop;
        }
        break;
    }
    splitter.Finish(limits.cutNotice);
    result.exitCode = exitCode;
    return result;
}

} // namespace torvane::platform
