#include "editor/LineLayout.h"

#include "editor/LineNode.h"

#include <algorithm>

namespace torvane::editor {

TLineLayout::TLineLayout() {
    displayBuffer_.reserve(kInitialCapacity);
    tokenBuffer_.reserve(kInitialCapacity);
    charToColumn_.reserve(kInitialCapacity);
    columnToChar_.reserve(kInitialCapacity);
}

void TLineLayout::Build(std::string_view nodeText, std::span<const uint8_t> tokens, bool hasTabs,
                        const TTabStops& tabs) {
    endsWithBreak_ = !nodeText.empty() && nodeText.back() == kLineBreak;
    visible_ = static_cast<int32_t>(nodeText.size()) - (endsWithBreak_ ? 1 : 0);
    const std::string_view text = nodeText.substr(0, static_cast<size_t>(visible_));
    const bool haveTokens = tokens.size() >= static_cast<size_t>(visible_) && !tokens.empty();
    expanded_ = hasTabs && text.find('\t') != std::string_view::npos;
    if (!expanded_) {
        display_ = text;
        tokens_ = haveTokens ? tokens.first(static_cast<size_t>(visible_)) : std::span<const uint8_t>{};
        return;
    }

    displayBuffer_.clear();
    tokenBuffer_.clear();
    charToColumn_.clear();
    columnToChar_.clear();
    for (int32_t i = 0; i < visible_; ++i) {
        const int32_t column = static_cast<int32_t>(displayBuffer_.size());
        charToColumn_.push_back(column);
        const char c = text[static_cast<size_t>(i)];
        const int32_t next = c == '\t' ? tabs.NextStop(column) : column + 1;
        const uint8_t token = haveTokens ? tokens[static_cast<size_t>(i)] : 0;
        for (int32_t col = column; col < next; ++col) {
            displayBuffer_.push_back(c == '\t' ? ' ' : c);
            tokenBuffer_.push_back(token);
            columnToChar_.push_back(i);
        }
    }
    charToColumn_.push_back(static_cast<int32_t>(displayBuffer_.size()));
    columnToChar_.push_back(visible_);
    display_ = displayBuffer_;
    tokens_ = haveTokens ? std::span<const uint8_t>(tokenBuffer_) : std::span<const uint8_t>{};
}

int32_t TLineLayout::CharToColumn(int32_t index) const noexcept {
    index = std::clamp(index, 0, visible_);
    return expanded_ ? charToColumn_[static_cast<size_t>(index)] : index;
}

int32_t TLineLayout::ColumnToChar(int32_t column) const noexcept {
    if (column <= 0) return 0;
    if (column >= Columns()) return visible_;
    return expanded_ ? columnToChar_[static_cast<size_t>(column)] : column;
}

} // namespace torvane::editor
