// The parts of the process runner that every system shares: turning output
// bytes into lines and splitting a command line into arguments.

#include "platform/ProcessRunner.h"

namespace torvane::platform {

void OutputLineSplitter::Store(std::string& line) {
    if (lastIsUnfinished_ && !lines_.empty())
        lines_.back() = std::move(line);
    else
        lines_.push_back(std::move(line));
    line.clear();
}

bool OutputLineSplitter::Feed(const char* data, size_t size) {
    std::string current = lastIsUnfinished_ && !lines_.empty() ? lines_.back() : std::string();
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
            Store(current);
            lastIsUnfinished_ = false;
            continue;
        }
        current += c;
    }
    if (!current.empty()) {
        Store(current);
        lastIsUnfinished_ = true;
    }
    return endedLine;
}

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
