#pragma once
// Runs an outside program hidden, with its standard output and standard error
// captured as lines, under fixed time limits.
//
// The child gets its standard input from one pipe (never written) and writes
// standard output and standard error into a second pipe. The parent polls:
// each pass fetches the child's exit code (kStillActive while it runs), peeks
// at how many bytes wait in the pipe and reads only those, then sleeps 1 ms.
// The child is killed after kMaxPasses passes, or after kMaxIdlePasses passes
// without a line end. The pass after the child has ended still drains the
// pipe. Reading therefore never blocks, and the limits always apply.
//
// The command line is one string split into arguments by the rules of the
// Windows C runtime (see SplitCommandLine) and executed directly, never
// through a shell: no character of it can start another command.

#include <cstddef>
#include <string>
#include <vector>

namespace torvane::platform {

// Exit code reported while the child has not ended (and when it had to be
// killed while still running).
inline constexpr int kStillActive = 259;

struct ProcessLimits {
    int maxPasses = 12000;
    int maxIdlePasses = 2000;
};

// Turns the child's output bytes into lines, chunk by chunk. The list always
// holds every finished line plus, at its end, the latest unfinished one.
//  - bytes 0 and 8 (backspace) are dropped, and so is a byte directly followed
//    by a backspace in the same chunk;
//  - CR, LF and CR LF end a line; a CR LF split across two chunks still counts
//    as one line end (otherwise the timing of reads would invent empty lines);
//  - an unfinished line at the end of a chunk is stored and is replaced when
//    the next chunk continues it.
class OutputLineSplitter {
public:
    explicit OutputLineSplitter(std::vector<std::string>& lines) : lines_(lines) {}

    // Returns true when the chunk ended at least one line.
    bool Feed(const char* data, size_t size);

private:
    void Store(std::string& line);

    std::vector<std::string>& lines_;
    bool lastIsUnfinished_ = false;
    bool pendingCr_ = false;
};

// Splits a command line into arguments as the Windows C runtime does: blanks
// and tabs separate arguments outside double quotes; a double quote toggles
// quoting; inside quotes "" is one literal quote; 2n backslashes before a
// quote give n backslashes and the quote acts, 2n+1 give n backslashes and a
// literal quote; other backslashes are literal. The program name follows the
// same rules, so a quoted program path with a blank works.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// Runs the command line with the given working directory (empty: the
// caller's) and returns the last exit code fetched; `output` receives the
// output lines. When the program cannot be started the result is 0 and the
// output is empty.
int RunProcess(const std::string& commandLine, const std::string& workingDirectory,
               std::vector<std::string>& output, const ProcessLimits& limits = {});

} // namespace torvane::platform
