#include "editor/Columns.h"

#include "editor/LineNode.h"

#include <algorithm>

namespace torvane::editor {
namespace {

int32_t VisibleLength(std::string_view text) {
    return static_cast<int32_t>(!text.empty() && text.back() == kLineBreak ? text.size() - 1 : text.size());
}

} // namespace

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
