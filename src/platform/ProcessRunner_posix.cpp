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

int RunProcess(const std::string& commandLine, const std::string& workingDirectory,
               std::vector<std::string>& output, const ProcessLimits& limits) {
    output.clear();
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty()) return 0;
    const std::string program = ResolveProgram(args[0]);
    const bool searchPath = program.find('/') == std::string::npos;
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    Pipe input, outputPipe, execStatus;
    if (!input.Open() || !outputPipe.Open()) return 0;
    if (!execStatus.Open()) return 0;

    const pid_t pid = ::fork();
    if (pid < 0) return 0;
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
        return 0;
    }

    OutputLineSplitter splitter(output);
    std::vector<char> buffer(1024);
    int passes = 0, idle = 0;
    int exitCode = kStillActive;
    bool reaped = false;
    do {
        int status = 0;
        if (!reaped && ::waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            exitCode = ExitCodeOf(status);
        }
        int waiting = 0;
        if (::ioctl(outputPipe.fd[0], FIONREAD, &waiting) == 0 && waiting > 0) {
            if (static_cast<size_t>(waiting) > buffer.size()) buffer.resize(static_cast<size_t>(waiting));
            std::fill(buffer.begin(), buffer.end(), 0);
            ssize_t n = ::read(outputPipe.fd[0], buffer.data(), buffer.size());
            if (n > 0 && splitter.Feed(buffer.data(), static_cast<size_t>(n))) idle = 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++passes;
        ++idle;
        if (passes >= limits.maxPasses || idle >= limits.maxIdlePasses) {
            if (!reaped) {
                // The whole session, so that programs the child started go too.
                ::kill(-pid, SIGKILL);
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                reaped = true;
            }
            break;
        }
    } while (exitCode == kStillActive);
    return exitCode;
}

} // namespace torvane::platform
