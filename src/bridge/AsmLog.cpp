#include "bridge/AsmLog.h"

#include "common/Messages.h"
#include "common/TimeText.h"
#include "platform/Names.h"

#include <algorithm>
#include <ctime>

namespace torvane::bridge {
namespace {

const std::string& LineAt(const Lines& output, size_t index, size_t needed) {
    if (index >= output.size())
        throw EBridgeCallFailure(
            FormatStr<msg::SBridgeTooFewLines>(static_cast<int>(output.size()), static_cast<int>(needed)));
    return output[index];
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The first `count` characters of a line (none when `count` is negative).
std::string Head(const std::string& line, std::ptrdiff_t count) {
    return count > 0 ? line.substr(0, static_cast<size_t>(count)) : std::string();
}

} // namespace

bool IsNoErrorsSummary(const std::string& line) {
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    size_t last = line.find_last_not_of(" \t");
    if (line[last] == '.' && last > first) --last;
    const std::string_view text = std::string_view(line).substr(first, last + 1 - first);
    static constexpr std::string_view kForms[] = {platform::kSummaryNoErrors, "Assembly complete, no errors",
                                                  "Assembly complete with no errors"};
    return std::find(std::begin(kForms), std::end(kForms), text) != std::end(kForms);
}

bool InterpretAsem51Output(const Lines& output, const std::string& time, Lines& log, bool exitStatusOk) {
    log.push_back("(" + time + ") " + LineAt(output, 1, 4));
    log.emplace_back();
    if (IsNoErrorsSummary(LineAt(output, 3, 4)) && exitStatusOk) {
        log.push_back(LoadStr(msg::SBridgeAssembled));
        return true;
    }
    log.push_back(LoadStr(msg::SBridgeNotAssembled));
    for (size_t i = 3; i < output.size(); ++i) {
        const std::string& line = output[i];
        if (line.empty()) continue;
        if (Contains(line, ":") && line[0] != '@')
            log.push_back(kErrorPrefix + line);
        else if (!Contains(line, platform::kSummaryErrorsDetected))
            log.push_back(line);
    }
    return false;
}

bool InterpretAvrAsmOutput(const Lines& output, const std::string& time, Lines& log, bool exitStatusOk) {
    const std::string& banner = LineAt(output, 0, 2);
    log.push_back("(" + time + ") " + (banner.size() > 8 ? banner.substr(8) : std::string()));
    log.push_back(LineAt(output, 1, 2));
    log.emplace_back();
    auto last = std::find_if(output.rbegin(), output.rend(), [](const std::string& line) {
        return line.find_first_not_of(" \t") != std::string::npos;
    });
    if (last != output.rend() && IsNoErrorsSummary(*last) && exitStatusOk) {
        log.push_back(LoadStr(msg::SBridgeAssembled));
        return true;
    }
    log.push_back(LoadStr(msg::SBridgeNotAssembled));
    static constexpr char kError[] = ": error :";
    static constexpr char kInclude[] = ": Include file";
    for (const std::string& line : output) {
        size_t p = line.find(kError);
        if (p != std::string::npos)
            log.push_back(kErrorPrefix + Head(line, static_cast<std::ptrdiff_t>(p) - 1) + line.substr(p + 8));
        size_t q = line.find(kInclude);
        if (q != std::string::npos && Contains(line, "not found"))
            log.push_back(kErrorPrefix + Head(line, static_cast<std::ptrdiff_t>(q) - 1) + line.substr(q));
    }
    return false;
}

std::string LongTimeNow() {
    return FormatTime("%X", LocalTimeOf(std::time(nullptr)));
}

} // namespace torvane::bridge
