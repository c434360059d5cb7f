#pragma once
// TLineNodeIndex: where each block of line nodes starts, in lines and in
// characters. It keeps the node and character count of every block in
// contiguous arrays and, over them, two Fenwick trees (binary indexed trees)
// so that
//   - finding the block that holds a line index or an offset, and
//   - the first line and first offset of a block
// cost O(log blocks), and a change of one block's counts costs O(log blocks)
// as well. Adding or removing blocks marks the trees stale; they are rebuilt
// in O(blocks) on the next query (blocks are added or removed only when an
// edit splits or merges blocks, or by a load).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace torvane::editor {

class TLineNodeIndex {
public:
    size_t Blocks() const noexcept { return lines_.size(); }

    void Clear() noexcept;
    // Structural changes.
    void Insert(size_t block, int32_t lines, int32_t chars);
    void Erase(size_t first, size_t last); // blocks [first, last)
    // A block's counts changed.
    void Set(size_t block, int32_t lines, int32_t chars);

    // Block that holds line (0 <= line < total lines) and its first line.
    size_t FindLine(int32_t line, int32_t* firstLine) const;
    // Block that holds offset (0 <= offset < total characters) and its first offset.
    size_t FindOffset(int32_t offset, int32_t* firstOffset) const;
    int32_t LinesBefore(size_t block) const;
    int32_t CharsBefore(size_t block) const;

private:
    void Rebuild() const;
    static void Add(std::vector<int32_t>& tree, size_t block, int32_t delta) noexcept;
    static int32_t Sum(const std::vector<int32_t>& tree, size_t count) noexcept;
    static size_t Descend(const std::vector<int32_t>& tree, int32_t target, int32_t* before) noexcept;

    std::vector<int32_t> lines_, chars_;               // per block
    mutable std::vector<int32_t> lineTree_, charTree_; // 1-based Fenwick trees
    mutable bool stale_ = true;
};

} // namespace torvane::editor
