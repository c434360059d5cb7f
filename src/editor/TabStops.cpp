#include "editor/TabStops.h"

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "editor/LineNode.h"

#include <algorithm>
#include <climits>

namespace torvane::editor {
namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == ';';
}

int32_t VisibleLength(std::string_view text) {
    return static_cast<int32_t>(!text.empty() && text.back() == kLineBreak ? text.size() - 1 : text.size());
}

} // namespace

void TTabStops::SetDefault(int32_t width) {
    if (width <= 0) throw ETessary(LoadStr(msg::SIllegalTabDefault));
    default_ = width;
}

std::string TTabStops::Columns() const {
    std::string out;
    for (int32_t stop : stops_) {
        if (stop < 0) break;
        if (!out.empty()) out += ' ';
        out += std::to_string(stop + 1);
    }
    return out;
}

void TTabStops::SetColumns(std::string_view text) {
    std::array<int32_t, kMaxStops> parsed = Unset();
    int count = 0;
    int64_t previous = 0;
    size_t i = 0;
    for (;;) {
        while (i < text.size() && IsSeparator(text[i]))
            ++i;
        if (i == text.size()) break;
        if (text[i] < '0' || text[i] > '9') throw ETessary(LoadStr(msg::STabColumnExpected));
        int64_t value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            value = value * 10 + (text[i++] - '0');
            if (value > INT32_MAX) throw ETessary(LoadStr(msg::STabColumnExpected));
        }
        if (i < text.size() && !IsSeparator(text[i])) throw ETessary(LoadStr(msg::STabColumnExpected));
        if (count == kMaxStops) throw ETessary(LoadStr(msg::STooManyTabStops) + std::to_string(kMaxStops));
        if (count > 0 && value <= previous) throw ETessary(LoadStr(msg::STabColumnsOrder));
        if (value <= 1) throw ETessary(LoadStr(msg::STabColumnGreaterOne));
        parsed[static_cast<size_t>(count++)] = static_cast<int32_t>(value - 1);
        previous = value;
    }
    stops_ = parsed;
}

int32_t TTabStops::NextStop(int32_t column) const noexcept {
    for (int32_t stop : stops_) {
        if (stop < 0) break;
        if (stop > column) return stop;
    }
    return column + default_ - column % default_;
}

int32_t CharToColumn(std::string_view text, bool hasTabs, int32_t index, const TTabStops& tabs) {
    index = std::clamp(index, 0, VisibleLength(text));
    if (!hasTabs) return index;
    int32_t column = 0;
    for (int32_t i = 0; i < index; ++i)
        column = text[static_cast<size_t>(i)] == '\t' ? tabs.NextStop(column) : column + 1;
    return column;
}

int32_t ColumnToChar(std::string_view text, bool hasTabs, int32_t column, const TTabStops& tabs) {
    const int32_t visible = VisibleLength(text);
    if (!hasTabs) return std::clamp(column, 0, visible);
    int32_t start = 0;
    for (int32_t i = 0; i < visible; ++i) {
        if (start >= column) return i;
        start = text[static_cast<size_t>(i)] == '\t' ? tabs.NextStop(start) : start + 1;
    }
    return visible;
}

} // namespace torvane::editor
