// The parts of the process runner that every system shares: turning output
// bytes into lines, splitting a command line into arguments, and polling a
// started child under the limits.

#include "platform/ProcessRunner.h"

#include "platform/ChildProcess.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace torvane::platform {

// ---- Line splitting (portable) ----

void OutputLineSplitter::Append(char c) {
    if (cut_) {
        if (!tailUnfinished_) {
            tail_.emplace_back();
            if (tail_.size() > kTailLines) tail_.pop_front();
            tailUnfinished_ = true;
        }
        if (tail_.back().size() < kTailLineBytes) tail_.back() += c;
        return;
    }
    if (!lastIsUnfinished_) {
        if (lines_.size() >= maxLines_) {
            cut_ = true;
            Append(c);
            return;
        }
        lines_.emplace_back();
        lastIsUnfinished_ = true;
    }
    if (storedBytes_ >= maxBytes_) {
        cut_ = true;
        Append(c);
        return;
    }
    lines_.back() += c;
    ++storedBytes_;
}

void OutputLineSplitter::EndLine() {
    if (cut_) {
        if (!tailUnfinished_) {
            tail_.emplace_back();
            if (tail_.size() > kTailLines) tail_.pop_front();
        }
        tailUnfinished_ = false;
        return;
    }
    if (lastIsUnfinished_) {
        lastIsUnfinished_ = false;
        return;
    }
    if (lines_.size() >= maxLines_) {
        cut_ = true;
        EndLine();
        return;
    }
    lines_.emplace_back();
}

bool OutputLineSplitter::Feed(const char* data, size_t size) {
    bool endedLine = false;
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        const bool afterCr = pendingCr_;
        pendingCr_ = false;
        if (c == 0 || c == 8) continue;
        if (i + 1 < size && data[i + 1] == 8) continue;
        if (c == '\r' || c == '\n') {
            endedLine = true;
            if (c == '\n' && afterCr) continue; // second half of CR LF
            pendingCr_ = c == '\r';
            EndLine();
            continue;
        }
        Append(c);
    }
    return endedLine;
}

bool OutputLineSplitter::Finish(const std::string& cutNotice) {
    if (!cut_) return false;
    lines_.push_back(cutNotice);
    for (std::string& line : tail_)
        lines_.push_back(std::move(line));
    tail_.clear();
    cut_ = false; // a second call adds nothing
    lastIsUnfinished_ = false;
    return true;
}

// ---- Command-line splitting (the Windows C runtime's rules) ----

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    const size_t n = line.size();
    size_t i = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (true) {
        while (i < n && isBlank(line[i]))
            ++i;
        if (i >= n) break;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !isBlank(line[i]))) {
            if (line[i] == '\\') {
                size_t count = 0;
                while (i < n && line[i] == '\\')
                    ++count, ++i;
                if (i < n && line[i] == '"') {
                    arg.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(count, '\\');
                }
            } else if (line[i] == '"') {
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    arg += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += line[i++];
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

// ---- Polling a started child ----

ProcessResult PollChild(ChildProcess& child, std::vector<std::string>& output, const ProcessLimits& limits) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastOutput = start;
    OutputLineSplitter splitter(output, limits.maxLines, limits.maxBytes);
    // A pipe holds 64 KB on Linux and a few KB on Windows; reading more per
    // pass buys nothing.
    constexpr size_t kMaxRead = size_t{64} << 10;
    std::vector<char> buffer(1024);
    ProcessResult result;
    result.end = ProcessEnd::Exited;
    int exitCode = kStillActive;
    bool ended = false;
    for (;;) {
        // Fetched before the peek, so the pass after the end still drains
        // everything the child wrote.
        if (!ended)
            if (const std::optional<int> code = child.ExitCode()) {
                ended = true;
                exitCode = *code;
            }
        bool readSome = false;
        if (const size_t waiting = child.Waiting(); waiting > 0) {
            const size_t want = std::min(waiting, kMaxRead);
            if (want > buffer.size()) buffer.resize(want);
            if (const size_t got = child.Read(buffer.data(), want); got > 0) {
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
        // An ended child whose descendants keep the pipe busy loses them too.
        child.Kill(ended);
        if (!ended) {
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
