#include "editor/LineNodeIndex.h"

namespace torvane::editor {

void TLineNodeIndex::Clear() noexcept {
    lines_.clear();
    chars_.clear();
    stale_ = true;
}

void TLineNodeIndex::Insert(size_t block, int32_t lines, int32_t chars) {
    lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(block), lines);
    chars_.insert(chars_.begin() + static_cast<ptrdiff_t>(block), chars);
    stale_ = true;
}

void TLineNodeIndex::Erase(size_t first, size_t last) {
    lines_.erase(lines_.begin() + static_cast<ptrdiff_t>(first),
                 lines_.begin() + static_cast<ptrdiff_t>(last));
    chars_.erase(chars_.begin() + static_cast<ptrdiff_t>(first),
                 chars_.begin() + static_cast<ptrdiff_t>(last));
    stale_ = true;
}

void TLineNodeIndex::Set(size_t block, int32_t lines, int32_t chars) {
    if (!stale_) {
        Add(lineTree_, block, lines - lines_[block]);
        Add(charTree_, block, chars - chars_[block]);
    }
    lines_[block] = lines;
    chars_[block] = chars;
}

void TLineNodeIndex::Rebuild() const {
    // Linear-time construction: each node passes its sum on to its parent.
    const size_t n = lines_.size();
    lineTree_.assign(n + 1, 0);
    charTree_.assign(n + 1, 0);
    for (size_t i = 1; i <= n; ++i) {
        lineTree_[i] += lines_[i - 1];
        charTree_[i] += chars_[i - 1];
        const size_t parent = i + (i & (~i + 1));
        if (parent <= n) {
            lineTree_[parent] += lineTree_[i];
            charTree_[parent] += charTree_[i];
        }
    }
    stale_ = false;
}

void TLineNodeIndex::Add(std::vector<int32_t>& tree, size_t block, int32_t delta) noexcept {
    if (delta == 0) return;
    for (size_t i = block + 1; i < tree.size(); i += i & (~i + 1))
        tree[i] += delta;
}

int32_t TLineNodeIndex::Sum(const std::vector<int32_t>& tree, size_t count) noexcept {
    int32_t s = 0;
    for (size_t i = count; i > 0; i -= i & (~i + 1))
        s += tree[i];
    return s;
}

size_t TLineNodeIndex::Descend(const std::vector<int32_t>& tree, int32_t target, int32_t* before) noexcept {
    // The number of leading blocks whose total does not exceed target is the
    // index of the block that holds target.
    const size_t n = tree.size() - 1;
    size_t step = 1;
    while (step * 2 <= n)
        step *= 2;
    size_t pos = 0;
    int32_t sum = 0;
    for (; step > 0; step /= 2) {
        if (pos + step <= n && sum + tree[pos + step] <= target) {
            pos += step;
            sum += tree[pos];
        }
    }
    *before = sum;
    return pos;
}

size_t TLineNodeIndex::FindLine(int32_t line, int32_t* firstLine) const {
    if (stale_) Rebuild();
    return Descend(lineTree_, line, firstLine);
}

size_t TLineNodeIndex::FindOffset(int32_t offset, int32_t* firstOffset) const {
    if (stale_) Rebuild();
    return Descend(charTree_, offset, firstOffset);
}

int32_t TLineNodeIndex::LinesBefore(size_t block) const {
    if (stale_) Rebuild();
    return Sum(lineTree_, block);
}

int32_t TLineNodeIndex::CharsBefore(size_t block) const {
    if (stale_) Rebuild();
    return Sum(charTree_, block);
}

} // namespace torvane::editor
