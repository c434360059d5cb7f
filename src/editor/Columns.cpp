#include "editor/Columns.h"

#include "editor/LineNode.h"

#include <algorithm>
#include <cstring>

namespace torvane::editor {
namespace {

int32_t VisibleLength(std::string_view text) {
    return static_cast<int32_t>(!text.empty() && text.back() == kLineBreak ? text.size() - 1 : text.size());
}

// Index of the first TAB in [from, end), or end.
int32_t NextTab(std::string_view text, int32_t from, int32_t end) {
    const char* base = text.data();
    const void* tab = std::memchr(base + from, '\t', static_cast<size_t>(end - from));
    return tab ? static_cast<int32_t>(static_cast<const char*>(tab) - base) : end;
}

} // namespace

// Both walks jump from TAB to TAB: the characters between two TABs take one
// column each, so only the TABs need the tab stops. The caret's column is
// asked for at every keystroke, often in long lines.

int32_t CharToColumn(std::string_view text, bool hasTabs, int32_t index, const TTabStops& tabs) {
    index = std::clamp(index, 0, VisibleLength(text));
    if (!hasTabs) return index;
    int32_t column = 0;
    int32_t i = 0;
    while (i < index) {
        const int32_t tab = NextTab(text, i, index);
        column += tab - i;
        if (tab == index) break;
        column = tabs.NextStop(column);
        i = tab + 1;
    }
    return column;
}

int32_t ColumnToChar(std::string_view text, bool hasTabs, int32_t column, const TTabStops& tabs) {
    const int32_t visible = VisibleLength(text);
    if (!hasTabs) return std::clamp(column, 0, visible);
    int32_t start = 0; // the column character i starts at
    int32_t i = 0;
    while (i < visible) {
        if (start >= column) return i;
        const int32_t tab = NextTab(text, i, visible);
        if (column - start < tab - i) return i + (column - start);
        start += tab - i;
        i = tab;
        if (i == visible) break;
        if (start >= column) return i;
        start = tabs.NextStop(start);
        ++i;
    }
    return visible;
}

} // namespace torvane::editor
