#include "platform/ProcessRunner.h"

#include "platform/ChildProcess.h"

#include "platform/Win32Text.h"

#include <windows.h>

#include <algorithm>

namespace torvane::platform {
namespace {

// Owns one handle; null and INVALID_HANDLE_VALUE both mean none.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return h_; }
    HANDLE* out() { return &h_; }
    void Close() {
        if (h_ && h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
        h_ = nullptr;
    }

private:
    HANDLE h_ = nullptr;
};

// A job that takes the child and everything it starts, so that a stop after
// the time limits leaves no grandchild holding the pipe or the files.
HANDLE MakeKillOnCloseJob() {
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

// The child after a successful start: its process, the job holding it and
// everything it starts, and our end of its output pipe.
class Win32Child : public ChildProcess {
public:
    Win32Child(HANDLE process, HANDLE job, HANDLE output) : process_(process), job_(job), output_(output) {}

    std::optional<int> ExitCode() override {
        if (::WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        return ::GetExitCodeProcess(process_, &code) ? static_cast<int>(code) : 0;
    }
    size_t Waiting() override {
        DWORD waiting = 0;
        return ::PeekNamedPipe(output_, nullptr, 0, nullptr, &waiting, nullptr) ? waiting : 0;
    }
    size_t Read(char* buffer, size_t count) override {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(count, MAXDWORD));
        return ::ReadFile(output_, buffer, want, &got, nullptr) ? got : 0;
    }
    void Kill(bool childEnded) override {
        if (!job_ || !::TerminateJobObject(job_, STILL_ACTIVE))
            if (!childEnded) ::TerminateProcess(process_, STILL_ACTIVE);
        if (!childEnded) ::WaitForSingleObject(process_, 5000);
    }

private:
    HANDLE process_, job_, output_;
};

} // namespace

ProcessResult RunProcess(const std::string& commandLine, const std::string& workingDirectory,
                         std::vector<std::string>& output, const ProcessLimits& limits) {
    output.clear();
    ProcessResult result;
    if (SplitCommandLine(commandLine).empty()) return result;

    // Inheritable pipe handles with the process's default access rights: a
    // null access list would let any other program of the machine open them.
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle inputRead, inputWrite, outputRead, outputWrite;
    if (!::CreatePipe(inputRead.out(), inputWrite.out(), &inheritable, 0)) return result;
    if (!::CreatePipe(outputRead.out(), outputWrite.out(), &inheritable, 0)) return result;
    // The child inherits only its own ends: our ends held open in the child
    // would keep it from ever seeing the end of its input.
    ::SetHandleInformation(inputWrite.get(), HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(outputRead.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = inputRead.get();
    startup.hStdOutput = outputWrite.get();
    startup.hStdError = outputWrite.get();

    // The command line as given: CreateProcess finds the program from its
    // first argument and hands the rest over untouched; no shell is involved.
    std::wstring line = win32::Wide(commandLine);
    const std::wstring directory = win32::Wide(workingDirectory);
    PROCESS_INFORMATION child{};
    // Suspended until it is in the job, so nothing it starts escapes. A
    // console without any window rather than a new hidden one: a new console
    // brings a console host process that inherits our own standard handles
    // and can outlive the child, holding our caller's output open.
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW | NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &child))
        return result;
    Handle process(child.hProcess), thread(child.hThread);
    Handle job(MakeKillOnCloseJob());
    if (job.get() && !::AssignProcessToJobObject(job.get(), process.get())) job.Close();
    ::ResumeThread(thread.get());
    // Only the child writes into the pipe now.
    inputRead.Close();
    outputWrite.Close();

    Win32Child running(process.get(), job.get(), outputRead.get());
    return PollChild(running, output, limits);
}

} // namespace torvane::platform
