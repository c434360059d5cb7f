#pragma once
// The mapping between character indexes of a stored line and its display
// columns, with TABs expanded by the tab stops.

#include "highlight/TabStops.h"

#include <cstdint>
#include <string_view>

namespace torvane::editor {

// Display column of the character at index in a node's text (its trailing
// CR, if any, included in text). Indexes beyond the visible characters map
// to the column just after them. hasTabs is the node's TAB state bit.
int32_t CharToColumn(std::string_view text, bool hasTabs, int32_t index, const TTabStops& tabs);
// Index of the first character whose start column reaches column, or the
// number of visible characters when none does.
int32_t ColumnToChar(std::string_view text, bool hasTabs, int32_t column, const TTabStops& tabs);

} // namespace torvane::editor
