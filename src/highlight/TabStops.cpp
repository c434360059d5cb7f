#include "highlight/TabStops.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>
#include <climits>

namespace torvane {
namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == ';';
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

} // namespace torvane
