#include "platform/ProcessRunner.h"

#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
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

// The child after a successful start: its id and our end of its output pipe.
class PosixChild : public ChildProcess {
public:
    PosixChild(pid_t pid, int output) : pid_(pid), output_(output) {}

    std::optional<int> ExitCode() override {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != pid_) return std::nullopt;
        return ExitCodeOf(status);
    }
    size_t Waiting() override {
        int waiting = 0;
        return ::ioctl(output_, FIONREAD, &waiting) == 0 && waiting > 0 ? static_cast<size_t>(waiting) : 0;
    }
    size_t Read(char* buffer, size_t count) override {
        const ssize_t n = ::read(output_, buffer, count);
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
    void Kill(bool childEnded) override {
        // The whole session, so that programs the child started go too.
        ::kill(-pid_, SIGKILL);
        if (childEnded) return;
        ::kill(pid_, SIGKILL);
        int status;
        ::waitpid(pid_, &status, 0);
    }

private:
    pid_t pid_;
    int output_;
};

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

    PosixChild child(pid, outputPipe.fd[0]);
    return PollChild(child, output, limits);
}

} // namespace torvane::platform
