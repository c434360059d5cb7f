#include "editor/WordWrap.h"

#include <algorithm>

namespace torvane::editor {
namespace {

constexpr size_t kOverrideLimit = 2048;

bool IsBlank(char c) noexcept {
    const auto b = static_cast<unsigned char>(c);
    return b <= 32 || b == 160;
}

// Length of the segment from start by the built-in rule; the CR never
// starts a segment of its own.
int32_t SegmentLength(std::string_view line, size_t start, const TWrapRule& rule) {
    const size_t limit = std::min(line.size(), start + kMaxNodeLength);
    int32_t column = 0;
    size_t lastBlankEnd = 0; // just after the last blank seen, 0 = none
    for (size_t i = start; i < limit; ++i) {
        const char c = line[i];
        if (c == kLineBreak) return static_cast<int32_t>(i + 1 - start);
        const int32_t width = c == '\t' && rule.tabs ? rule.tabs->NextStop(column) - column : 1;
        if (column + width > rule.columns && i > start) {
            if (IsBlank(c)) {
                size_t end = i;
                while (end < limit && IsBlank(line[end]))
                    ++end; // takes the CR along, so a line never ends in an empty row
                return static_cast<int32_t>(end - start);
            }
            return static_cast<int32_t>((lastBlankEnd > start ? lastBlankEnd : i) - start);
        }
        column += width;
        if (IsBlank(c)) lastBlankEnd = i + 1;
    }
    return static_cast<int32_t>(limit - start);
}

} // namespace

void CutAtNodeLength(std::string_view line, std::vector<int32_t>& lengths) {
    size_t pos = 0;
    do {
        const size_t take = std::min<size_t>(kMaxNodeLength, line.size() - pos);
        lengths.push_back(static_cast<int32_t>(take));
        pos += take;
    } while (pos < line.size());
}

void CutLine(std::string_view line, const TWrapRule& rule, std::vector<int32_t>& lengths) {
    if (rule.overrideOn && line.size() < kOverrideLimit && !line.empty() &&
        rule.overrideChars.find(line.front()) != std::string::npos) {
        lengths.push_back(static_cast<int32_t>(line.size()));
        return;
    }
    size_t pos = 0;
    do {
        const int32_t left = static_cast<int32_t>(line.size() - pos);
        int32_t length = 0;
        if (rule.wordBreak)
            length =
                rule.wordBreak(line.data(), static_cast<int32_t>(pos), static_cast<int32_t>(line.size()), 0);
        if (length < 1 || length > left || length > kMaxNodeLength) length = SegmentLength(line, pos, rule);
        lengths.push_back(length);
        pos += static_cast<size_t>(length);
    } while (pos < line.size());
}

} // namespace torvane::editor
