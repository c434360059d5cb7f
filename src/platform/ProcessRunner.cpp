// The parts of the process runner that every system shares: turning output
// bytes into lines and splitting a command line into arguments.

#include "platform/ProcessRunner.h"

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

} // namespace torvane::platform
