#pragma once
// TLineLayout: one node's text as it appears on screen.
//
// A node without TAB characters is shown as stored: the display text is the
// node's text without its trailing CR, the token bytes are the node's own,
// and character index and display column are the same number. A node with
// TABs is expanded into the layout's buffers: every TAB becomes spaces up to
// the next tab stop (TabStops.h) and every space of the expansion carries the
// TAB's token byte. Two maps connect the two forms:
//
//   CharToColumn(i)   display column where character i starts; i may be the
//                     visible length (the column just after the text)
//   ColumnToChar(c)   character whose display cells include column c; a
//                     column at or after the end gives the visible length
//
// The buffers start at 2049 entries (a node holds at most 2047 characters)
// and grow when TAB expansion needs more; they are reused from line to line,
// so laying out a visible screen allocates nothing after the first lines.

#include "editor/Columns.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::editor {

class TLineLayout {
public:
    static constexpr size_t kInitialCapacity = 2049;

    TLineLayout();

    // Lays out a node's text (its trailing CR, if any, included) with its
    // token bytes (empty when the node has none). The views must stay valid
    // while the layout is used.
    void Build(std::string_view nodeText, std::span<const uint8_t> tokens, bool hasTabs,
               const TTabStops& tabs);

    // Display characters (TABs expanded, no CR) and one token byte per
    // display character, or an empty span when the node has no token bytes.
    std::string_view Display() const noexcept { return display_; }
    std::span<const uint8_t> Tokens() const noexcept { return tokens_; }
    int32_t Columns() const noexcept { return static_cast<int32_t>(display_.size()); }
    // Characters of the node before its CR.
    int32_t VisibleLength() const noexcept { return visible_; }
    bool EndsWithBreak() const noexcept { return endsWithBreak_; }
    bool Expanded() const noexcept { return expanded_; }

    int32_t CharToColumn(int32_t index) const noexcept;
    int32_t ColumnToChar(int32_t column) const noexcept;

private:
    std::string_view display_;
    std::span<const uint8_t> tokens_;
    int32_t visible_ = 0;
    bool endsWithBreak_ = false;
    bool expanded_ = false;
    // Used only for expanded lines.
    std::string displayBuffer_;
    std::vector<uint8_t> tokenBuffer_;
    std::vector<int32_t> charToColumn_; // visible_ + 1 entries
    std::vector<int32_t> columnToChar_; // Columns() + 1 entries
};

} // namespace torvane::editor
