#include "platform/ProcessRunner.h"

#include "platform/Win32Text.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <thread>

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

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastOutput = start;
    OutputLineSplitter splitter(output, limits.maxLines, limits.maxBytes);
    // A pipe buffer is a few KB on Windows; reading more per pass buys nothing.
    constexpr DWORD kMaxRead = DWORD{64} << 10;
    std::vector<char> buffer(1024);
    result.end = ProcessEnd::Exited;
    DWORD exitCode = STILL_ACTIVE;
    bool ended = false;
    for (;;) {
        // Fetched before the peek, so the pass after the end still drains
        // everything the child wrote.
        if (!ended && ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
            ended = true;
            if (!::GetExitCodeProcess(process.get(), &exitCode)) exitCode = 0;
        }
        DWORD waiting = 0;
        bool readSome = false;
        if (::PeekNamedPipe(outputRead.get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
            const DWORD want = std::min(waiting, kMaxRead);
            if (want > buffer.size()) buffer.resize(want);
            DWORD got = 0;
            if (::ReadFile(outputRead.get(), buffer.data(), want, &got, nullptr) && got > 0) {
                splitter.Feed(buffer.data(), got);
                lastOutput = Clock::now();
                readSome = true;
            }
        }
        if (ended && !readSome) break;
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
        // Everything the child started goes too, even when the child itself
        // has ended and only a grandchild keeps the pipe busy.
        if (!job.get() || !::TerminateJobObject(job.get(), STILL_ACTIVE))
            if (!ended) ::TerminateProcess(process.get(), STILL_ACTIVE);
        if (!ended) {
            ::WaitForSingleObject(process.get(), 5000);
            exitCode = kStillActive;
            result.end = stop;
        }
        break;
    }
    splitter.Finish(limits.cutNotice);
    result.exitCode = static_cast<int>(exitCode);
    return result;
}

} // namespace torvane::platform
