#pragma once
// Runs an outside program hidden, with its standard output and standard error
// captured as lines, under time limits and an output cap.
//
// The child gets its standard input from one pipe (never written) and writes
// standard output and standard error into a second pipe. The parent polls:
// each pass fetches the child's exit code (kStillActive while it runs), peeks
// at how many bytes wait in the pipe and reads only those; it sleeps 1 ms only
// when nothing was waiting, so a fast writer is drained at full speed. The
// child is killed when it runs longer than the total limit, when it writes
// nothing for the idle limit, or when the caller's cancel flag is set. The
// pass after the child has ended still drains the pipe. Reading therefore
// never blocks, and the limits always apply.
//
// Output is kept up to a number of lines and bytes; past that it is still
// read (so the child never blocks on a full pipe) but only the last few lines
// are remembered, after one line saying that the rest was cut. Assemblers put
// their summary last, and that must survive a flood of warnings.
//
// The command line is one string split into arguments by the rules of the
// Windows C runtime (see SplitCommandLine) and executed directly, never
// through a shell: no character of it can start another command.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace torvane::platform {

// Exit code reported while the child has not ended (and when it had to be
// killed while still running).
inline constexpr int kStillActive = 259;

struct ProcessLimits {
    std::chrono::milliseconds total{10 * 60 * 1000};
    std::chrono::milliseconds idle{60 * 1000}; // without any output byte
    size_t maxLines = 10000;
    size_t maxBytes = size_t{4} << 20;
    // The line put where the output was cut.
    std::string cutNotice = "[output cut]";
    // Set from another thread to stop the child; may be null.
    const std::atomic<bool>* cancel = nullptr;
};

enum class ProcessEnd {
    Exited,       // the child ended by itself; exitCode is its status
    NotStarted,   // pipes, fork or exec failed; no output
    IdleTimeout,  // killed: no output for the idle limit
    TotalTimeout, // killed: ran longer than the total limit
    Cancelled,    // killed: the caller's cancel flag was set
};

struct ProcessResult {
    int exitCode = 0; // kStillActive when the child had to be killed
    ProcessEnd end = ProcessEnd::NotStarted;
};

// Turns the child's output bytes into lines, chunk by chunk. The list always
// holds every finished line plus, at its end, the latest unfinished one.
//  - bytes 0 and 8 (backspace) are dropped, and so is a byte directly followed
//    by a backspace in the same chunk;
//  - CR, LF and CR LF end a line; a CR LF split across two chunks still counts
//    as one line end (otherwise the timing of reads would invent empty lines);
//  - an unfinished line at the end of a chunk is stored and is extended in
//    place when the next chunk continues it, so a long line costs linear time.
// Past maxLines lines or maxBytes bytes nothing more is stored; Finish() then
// appends the cut notice and the last few lines seen.
class OutputLineSplitter {
public:
    explicit OutputLineSplitter(std::vector<std::string>& lines, size_t maxLines = SIZE_MAX,
                                size_t maxBytes = SIZE_MAX)
        : lines_(lines), maxLines_(maxLines), maxBytes_(maxBytes) {}

    // Returns true when the chunk ended at least one line.
    bool Feed(const char* data, size_t size);
    // Call once after the last chunk; returns true when the output was cut.
    bool Finish(const std::string& cutNotice);

    static constexpr size_t kTailLines = 4;
    static constexpr size_t kTailLineBytes = 4096;

private:
    void EndLine();
    void Append(char c);

    std::vector<std::string>& lines_;
    size_t maxLines_, maxBytes_;
    size_t storedBytes_ = 0;
    bool lastIsUnfinished_ = false;
    bool pendingCr_ = false;
    bool cut_ = false;
    std::deque<std::string> tail_; // after a cut: the last lines, the last maybe unfinished
    bool tailUnfinished_ = false;
};

// Splits a command line into arguments as the Windows C runtime does: blanks
// and tabs separate arguments outside double quotes; a double quote toggles
// quoting; inside quotes "" is one literal quote; 2n backslashes before a
// quote give n backslashes and the quote acts, 2n+1 give n backslashes and a
// literal quote; other backslashes are literal. The program name follows the
// same rules, so a quoted program path with a blank works.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// Runs the command line with the given working directory (empty: the
// caller's); `output` receives the output lines. When the program cannot be
// started the exit code is 0, the end NotStarted and the output empty.
ProcessResult RunProcess(const std::string& commandLine, const std::string& workingDirectory,
                         std::vector<std::string>& output, const ProcessLimits& limits = {});

} // namespace torvane::platform
