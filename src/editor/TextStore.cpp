#include "editor/TextStore.h"

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "editor/Bookmarks.h"
#include "editor/UndoStack.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

namespace torvane::editor {
namespace {

bool ContainsTab(const char* p, size_t n) noexcept {
    return n != 0 && std::memchr(p, '\t', n) != nullptr;
}

[[noreturn]] void ThrowLineRange() {
    throw std::out_of_range("line index out of range");
}

// Lays text out into node records: a node ends after each CR and after
// kMaxNodeLength characters. When the laid-out range reaches the end of the
// store, a text ending in CR (or an empty text) gets the empty last node.
std::vector<TLineNode> LayOut(std::string_view text, bool reachesEnd, const TLineNode& inherit,
                              std::span<const int32_t> segments) {
    std::vector<TLineNode> out;
    size_t pos = 0;
    bool continuation = inherit.IsContinuation();
    auto add = [&](size_t len) {
        TLineNode node;
        if (out.empty()) {
            // The first node stands in for the node that was cut: it keeps its
            // bookmarks, gutter mark and highlights.
            node = inherit;
            node.state |= kStateRepaint | kStateRehighlight;
            node.state &= static_cast<uint16_t>(~kStateHasTab);
        }
        node.marks = static_cast<uint16_t>(continuation ? node.marks | kMarkContinuation
                                                        : node.marks & ~kMarkContinuation);
        node.length = static_cast<uint16_t>(len);
        if (ContainsTab(text.data() + pos, len)) node.state |= kStateHasTab;
        out.push_back(node);
        continuation = len == 0 || text[pos + len - 1] != kLineBreak;
        pos += len;
    };
    for (const int32_t length : segments)
        add(static_cast<size_t>(length));
    while (pos < text.size()) {
        size_t take = std::min<size_t>(kMaxNodeLength, text.size() - pos);
        const void* cr = std::memchr(text.data() + pos, kLineBreak, take);
        add(cr ? static_cast<const char*>(cr) - (text.data() + pos) + 1 : take);
    }
    if (reachesEnd && (text.empty() || text.back() == kLineBreak)) add(0);
    return out;
}

} // namespace

TTextStore::TTextStore() : ownUndo_(std::make_unique<TUndoStack>()), undo_(ownUndo_.get()) {
    ResetToEmpty();
}

TTextStore::~TTextStore() = default;

void TTextStore::ResetToEmpty() {
    blocks_.clear();
    auto block = std::make_unique<Block>();
    block->nodes.reserve(kBlockNodes);
    block->nodes.emplace_back();
    blocks_.push_back(std::move(block));
    textLength_ = 0;
    lineCount_ = 1;
    widestLine_ = 1;
    RebuildIndex();
}

// ---- block index -------------------------------------------------------------

void TTextStore::SyncBlock(size_t block) {
    const Block& blk = *blocks_[block];
    index_.Set(block, static_cast<int32_t>(blk.nodes.size()), static_cast<int32_t>(blk.text.size()));
}

void TTextStore::RebuildIndex() {
    LayoutChanged();
    index_.Clear();
    for (size_t b = 0; b < blocks_.size(); ++b)
        index_.Insert(b, static_cast<int32_t>(blocks_[b]->nodes.size()),
                      static_cast<int32_t>(blocks_[b]->text.size()));
}

void TTextStore::WalkInBlock(Where& w, int to) const noexcept {
    const std::vector<TLineNode>& nodes = blocks_[w.block]->nodes;
    if (to < w.index - to) {
        // Nearer from the block's start.
        w.start -= static_cast<TOffset>(w.textStart);
        w.line -= w.index;
        w.index = 0;
        w.textStart = 0;
    }
    for (; w.index < to; ++w.index, ++w.line) {
        const uint16_t len = nodes[static_cast<size_t>(w.index)].length;
        w.textStart += len;
        w.start += len;
    }
    while (w.index > to) {
        --w.index;
        --w.line;
        const uint16_t len = nodes[static_cast<size_t>(w.index)].length;
        w.textStart -= len;
        w.start -= len;
    }
}

void TTextStore::Remember(const Where& w, TLineIndex blockLine, TOffset blockOffset) const noexcept {
    hint_.where = w;
    hint_.blockLine = blockLine;
    hint_.blockOffset = blockOffset;
    hint_.valid = true;
}

bool TTextStore::HintedLine(TLineIndex line, Where& w) const noexcept {
    if (!hint_.valid) return false;
    const Block& blk = *blocks_[hint_.where.block];
    const TLineIndex blockEnd = hint_.blockLine + static_cast<TLineIndex>(blk.nodes.size());
    if (line >= hint_.blockLine && line < blockEnd) {
        w = hint_.where;
        WalkInBlock(w, line - hint_.blockLine);
        hint_.where = w;
        return true;
    }
    const size_t next = hint_.where.block + 1;
    if (line < blockEnd || next >= blocks_.size() ||
        line >= blockEnd + static_cast<TLineIndex>(blocks_[next]->nodes.size()))
        return false;
    const TOffset nextOffset = hint_.blockOffset + static_cast<TOffset>(blk.text.size());
    w = Where{next, 0, blockEnd, nextOffset, 0};
    WalkInBlock(w, line - blockEnd);
    Remember(w, blockEnd, nextOffset);
    return true;
}

bool TTextStore::HintedOffset(TOffset offset, Where& w) const noexcept {
    if (!hint_.valid) return false;
    const Block& blk = *blocks_[hint_.where.block];
    const TOffset blockEnd = hint_.blockOffset + static_cast<TOffset>(blk.text.size());
    TLineIndex blockLine = hint_.blockLine;
    TOffset blockOffset = hint_.blockOffset;
    if (offset >= hint_.blockOffset && offset < blockEnd) {
        w = hint_.where;
    } else {
        const size_t next = hint_.where.block + 1;
        if (offset < blockEnd || next >= blocks_.size() ||
            offset >= blockEnd + static_cast<TOffset>(blocks_[next]->text.size()))
            return false;
        blockLine += static_cast<TLineIndex>(blk.nodes.size());
        blockOffset = blockEnd;
        w = Where{next, 0, blockLine, blockOffset, 0};
    }
    // Every node but the store's last holds a character, so the node found
    // by stepping is the one that holds offset.
    const std::vector<TLineNode>& nodes = blocks_[w.block]->nodes;
    while (offset < w.start)
        WalkInBlock(w, w.index - 1);
    while (offset >= w.start + nodes[static_cast<size_t>(w.index)].length)
        WalkInBlock(w, w.index + 1);
    Remember(w, blockLine, blockOffset);
    return true;
}

TTextStore::Where TTextStore::FindLine(TLineIndex line) const {
    if (line < 0 || line >= lineCount_) ThrowLineRange();
    Where w;
    if (HintedLine(line, w)) return w;
    TLineIndex firstLine = 0;
    const size_t b = index_.FindLine(line, &firstLine);
    const TOffset firstOffset = index_.CharsBefore(b);
    w = Where{b, 0, firstLine, firstOffset, 0};
    WalkInBlock(w, line - firstLine);
    Remember(w, firstLine, firstOffset);
    return w;
}

TTextStore::Where TTextStore::FindOffset(TOffset offset) const {
    offset = std::clamp<TOffset>(offset, 0, textLength_);
    if (offset == textLength_) return FindLine(lineCount_ - 1);
    Where w;
    if (HintedOffset(offset, w)) return w;
    TOffset firstOffset = 0;
    const size_t b = index_.FindOffset(offset, &firstOffset);
    const Block& blk = *blocks_[b];
    const TLineIndex firstLine = index_.LinesBefore(b);
    w = Where{b, 0, firstLine, firstOffset, 0};
    for (;;) {
        const TOffset len = blk.nodes[static_cast<size_t>(w.index)].length;
        if (offset < w.start + len) break;
        w.start += len;
        w.textStart += static_cast<size_t>(len);
        ++w.index;
        ++w.line;
    }
    Remember(w, firstLine, firstOffset);
    return w;
}

// ---- node access -------------------------------------------------------------

const TLineNode& TTextStore::Node(TLineIndex line) const {
    Where w = FindLine(line);
    return blocks_[w.block]->nodes[static_cast<size_t>(w.index)];
}

std::string_view TTextStore::NodeText(TLineIndex line) const {
    Where w = FindLine(line);
    const Block& blk = *blocks_[w.block];
    return std::string_view(blk.text).substr(w.textStart, blk.nodes[static_cast<size_t>(w.index)].length);
}

std::string TTextStore::LineText(TLineIndex line) const {
    std::string_view t = NodeText(line);
    if (!t.empty() && t.back() == kLineBreak) t.remove_suffix(1);
    return std::string(t);
}

TOffset TTextStore::LineStart(TLineIndex line) const {
    return FindLine(line).start;
}

TLineIndex TTextStore::LineOfOffset(TOffset offset) const {
    return FindOffset(offset).line;
}

// Without a node as wide as the limit no line was ever split, and text lines
// are nodes; that is the common case and costs nothing. Otherwise the nodes
// are counted, block by block.
bool TTextStore::HasNoContinuations() const noexcept {
    return widestLine_ < kMaxNodeLength;
}

int32_t TTextStore::TextLineCount() const {
    if (HasNoContinuations()) return lineCount_;
    int32_t lines = 0;
    for (const auto& blk : blocks_)
        for (const TLineNode& node : blk->nodes)
            lines += node.IsContinuation() ? 0 : 1;
    return lines;
}

TLineIndex TTextStore::NodeOfTextLine(int32_t line) const {
    if (line < 0) return -1;
    if (HasNoContinuations()) return line < lineCount_ ? line : -1;
    TLineIndex node = 0;
    int32_t starts = 0;
    for (const auto& blk : blocks_)
        for (const TLineNode& n : blk->nodes) {
            if (!n.IsContinuation() && starts++ == line) return node;
            ++node;
        }
    return -1;
}

int32_t TTextStore::TextLineOfNode(TLineIndex node) const {
    node = std::clamp<TLineIndex>(node, 0, lineCount_ - 1);
    if (HasNoContinuations()) return node;
    int32_t line = -1;
    TLineIndex index = 0;
    for (const auto& blk : blocks_)
        for (const TLineNode& n : blk->nodes) {
            if (!n.IsContinuation()) ++line;
            if (index++ == node) return line;
        }
    return line;
}

std::span<const uint8_t> TTextStore::NodeStyles(TLineIndex line) const {
    Where w = FindLine(line);
    const Block& blk = *blocks_[w.block];
    if (blk.styles.empty()) return {};
    return std::span<const uint8_t>(blk.styles)
        .subspan(w.textStart, blk.nodes[static_cast<size_t>(w.index)].length);
}

void TTextStore::SetNodeStyles(TLineIndex line, std::span<const uint8_t> bytes) {
    Where w = FindLine(line);
    Block& blk = *blocks_[w.block];
    if (bytes.size() != blk.nodes[static_cast<size_t>(w.index)].length)
        throw std::invalid_argument("token bytes must match the node length");
    if (blk.styles.empty()) blk.styles.assign(blk.text.size(), 0);
    std::copy(bytes.begin(), bytes.end(), blk.styles.begin() + static_cast<ptrdiff_t>(w.textStart));
}

void TTextStore::SetNodeState(TLineIndex line, uint32_t state) {
    SetNodeState(Node(line), state);
}

void TTextStore::SetNodeState(const TLineNode& node, uint32_t state) {
    // The store owns every node it hands out, so writing through it is sound.
    TLineNode& own = const_cast<TLineNode&>(node);
    // The TAB bit describes the text and stays the store's to keep.
    own.state = static_cast<uint16_t>((state & ~uint32_t{kStateHasTab}) | (own.state & kStateHasTab));
}

void TTextStore::SetBookmarks(TLineIndex line, uint16_t bits) {
    Where w = FindLine(line);
    TLineNode& node = blocks_[w.block]->nodes[static_cast<size_t>(w.index)];
    const auto marks = static_cast<uint16_t>((node.marks & ~kMarkBookmarkMask) | (bits & kMarkBookmarkMask));
    if (marks == node.marks) return;
    node.marks = marks;
    NotifyMarks(line);
}

void TTextStore::SetGutterMark(TLineIndex line, uint16_t mark) {
    Where w = FindLine(line);
    TLineNode& node = blocks_[w.block]->nodes[static_cast<size_t>(w.index)];
    if (node.gutterMark == mark) return;
    node.gutterMark = mark;
    NotifyMarks(line);
}

void TTextStore::SetHighlight(TLineIndex line, int32_t highlight, int32_t highlight2) {
    Where w = FindLine(line);
    TLineNode& node = blocks_[w.block]->nodes[static_cast<size_t>(w.index)];
    node.highlight = highlight;
    node.highlight2 = highlight2;
}

// ---- whole text --------------------------------------------------------------

std::string TTextStore::Text() const {
    return GetRange(0, textLength_);
}

std::string TTextStore::GetRange(TOffset start, TOffset end) const {
    start = std::clamp<TOffset>(start, 0, textLength_);
    end = std::clamp<TOffset>(end, start, textLength_);
    std::string out;
    out.reserve(static_cast<size_t>(end - start));
    if (start == end) return out;
    Where w = FindOffset(start);
    size_t from = w.textStart + static_cast<size_t>(start - w.start);
    for (size_t b = w.block; out.size() < static_cast<size_t>(end - start); ++b, from = 0) {
        const std::string& t = blocks_[b]->text;
        size_t take = std::min(t.size() - from, static_cast<size_t>(end - start) - out.size());
        out.append(t, from, take);
    }
    return out;
}

void TTextStore::Clear() {
    ResetToEmpty();
    Notify({TTextChange::Kind::Reloaded, 0, 0, 0, 0});
}

// ---- editing -----------------------------------------------------------------

void TTextStore::ReplaceNodes(const Where& from, int count, std::string_view text, const TLineNode& inherit,
                              bool reachesEnd, std::span<const int32_t> segments,
                              std::span<const uint8_t> styles, bool rehighlight) {
    LayoutChanged();
    std::vector<TLineNode> fresh = LayOut(text, reachesEnd, inherit, segments);
    if (!rehighlight)
        for (TLineNode& n : fresh)
            n.state &= static_cast<uint16_t>(~kStateRehighlight);
    for (const TLineNode& n : fresh)
        widestLine_ = std::max<int32_t>(widestLine_, n.length);

    // Remove the old nodes, which may run over several blocks.
    size_t removedChars = 0;
    size_t b = from.block;
    size_t firstEmptied = blocks_.size(), lastEmptied = 0;
    for (int left = count, index = from.index; left > 0; ++b, index = 0) {
        Block& blk = *blocks_[b];
        const size_t textFrom = b == from.block ? from.textStart : 0;
        const int take = std::min<int>(left, static_cast<int>(blk.nodes.size()) - index);
        size_t chars = 0;
        for (int i = 0; i < take; ++i)
            chars += blk.nodes[static_cast<size_t>(index + i)].length;
        blk.nodes.erase(blk.nodes.begin() + index, blk.nodes.begin() + index + take);
        blk.text.erase(textFrom, chars);
        if (!blk.styles.empty())
            blk.styles.erase(blk.styles.begin() + static_cast<ptrdiff_t>(textFrom),
                             blk.styles.begin() + static_cast<ptrdiff_t>(textFrom + chars));
        removedChars += chars;
        left -= take;
        if (blk.nodes.empty() && b != from.block) {
            firstEmptied = std::min(firstEmptied, b);
            lastEmptied = b;
        } else {
            SyncBlock(b);
        }
    }
    if (firstEmptied < blocks_.size()) {
        blocks_.erase(blocks_.begin() + static_cast<ptrdiff_t>(firstEmptied),
                      blocks_.begin() + static_cast<ptrdiff_t>(lastEmptied + 1));
        index_.Erase(firstEmptied, lastEmptied + 1);
    }

    // Lay the new nodes in where the old ones began.
    Block& blk = *blocks_[from.block];
    blk.nodes.insert(blk.nodes.begin() + from.index, fresh.begin(), fresh.end());
    blk.text.insert(from.textStart, text);
    if (!blk.styles.empty())
        blk.styles.insert(blk.styles.begin() + static_cast<ptrdiff_t>(from.textStart), text.size(), 0);
    if (!styles.empty()) {
        if (blk.styles.empty()) blk.styles.assign(blk.text.size(), 0);
        std::copy(styles.begin(), styles.end(), blk.styles.begin() + static_cast<ptrdiff_t>(from.textStart));
    }

    lineCount_ += static_cast<TLineIndex>(fresh.size()) - count;
    textLength_ += static_cast<TOffset>(text.size()) - static_cast<TOffset>(removedChars);
    SyncBlock(from.block);
    if (blk.nodes.size() > static_cast<size_t>(kBlockNodes) ||
        (blk.text.size() > static_cast<size_t>(kBlockChars) && blk.nodes.size() > 1))
        SplitBlock(from.block);
    else
        MergeSmallBlock(from.block);
}

void TTextStore::SplitBlock(size_t block) {
    Block& big = *blocks_[block];
    const size_t nodes = big.nodes.size(), chars = big.text.size();
    const size_t pieces =
        std::max((nodes + kBlockNodes - 1) / kBlockNodes, (chars + kBlockChars - 1) / kBlockChars);
    // Even pieces, so that the next few insertions do not split again at once.
    const size_t targetNodes = (nodes + pieces - 1) / pieces, targetChars = (chars + pieces - 1) / pieces;
    std::vector<std::unique_ptr<Block>> parts;
    size_t node = 0, textPos = 0;
    while (node < nodes) {
        auto part = std::make_unique<Block>();
        size_t partChars = 0, first = node;
        while (node < nodes && node - first < targetNodes && partChars < targetChars)
            partChars += big.nodes[node++].length;
        part->nodes.assign(big.nodes.begin() + static_cast<ptrdiff_t>(first),
                           big.nodes.begin() + static_cast<ptrdiff_t>(node));
        part->text.assign(big.text, textPos, partChars);
        if (!big.styles.empty())
            part->styles.assign(big.styles.begin() + static_cast<ptrdiff_t>(textPos),
                                big.styles.begin() + static_cast<ptrdiff_t>(textPos + partChars));
        textPos += partChars;
        parts.push_back(std::move(part));
    }
    blocks_.erase(blocks_.begin() + static_cast<ptrdiff_t>(block));
    index_.Erase(block, block + 1);
    for (size_t i = 0; i < parts.size(); ++i)
        index_.Insert(block + i, static_cast<int32_t>(parts[i]->nodes.size()),
                      static_cast<int32_t>(parts[i]->text.size()));
    blocks_.insert(blocks_.begin() + static_cast<ptrdiff_t>(block), std::make_move_iterator(parts.begin()),
                   std::make_move_iterator(parts.end()));
}

void TTextStore::MergeSmallBlock(size_t block) {
    // Deletions leave small blocks behind; folding a small block into a
    // neighbour keeps the directory short.
    auto fits = [](const Block& a, const Block& b) {
        return a.nodes.size() + b.nodes.size() <= static_cast<size_t>(kBlockNodes) / 2 &&
               a.text.size() + b.text.size() <= static_cast<size_t>(kBlockChars) / 2;
    };
    if (blocks_[block]->nodes.size() >= static_cast<size_t>(kBlockNodes) / 4) return;
    size_t into = block;
    if (block + 1 < blocks_.size() && fits(*blocks_[block], *blocks_[block + 1]))
        into = block;
    else if (block > 0 && fits(*blocks_[block - 1], *blocks_[block]))
        into = block - 1;
    else
        return;
    Block& a = *blocks_[into];
    Block& b = *blocks_[into + 1];
    if (a.styles.empty() != b.styles.empty()) {
        if (a.styles.empty()) a.styles.assign(a.text.size(), 0);
        if (b.styles.empty()) b.styles.assign(b.text.size(), 0);
    }
    a.nodes.insert(a.nodes.end(), b.nodes.begin(), b.nodes.end());
    a.text += b.text;
    a.styles.insert(a.styles.end(), b.styles.begin(), b.styles.end());
    blocks_.erase(blocks_.begin() + static_cast<ptrdiff_t>(into + 1));
    index_.Erase(into + 1, into + 2);
    SyncBlock(into);
}

TOffset TTextStore::InsertChunk(TOffset at, std::string_view normalized) {
    Where w = FindOffset(at);
    const Block& blk = *blocks_[w.block];
    const TLineNode node = blk.nodes[static_cast<size_t>(w.index)];
    const std::string_view old = std::string_view(blk.text).substr(w.textStart, node.length);
    const size_t cut = static_cast<size_t>(at - w.start);
    std::string merged;
    merged.reserve(old.size() + normalized.size());
    merged.append(old.substr(0, cut)).append(normalized).append(old.substr(cut));
    const TLineIndex linesBefore = lineCount_;
    ReplaceNodes(w, 1, merged, node, w.line == lineCount_ - 1);
    const TOffset extent = static_cast<TOffset>(normalized.size());
    Notify({TTextChange::Kind::Inserted, at, extent, w.line, lineCount_ - linesBefore});
    return at + extent;
}

void TTextStore::DeleteRange(TOffset start, TOffset end) {
    Where a = FindOffset(start);
    Where z = FindOffset(end);
    const Block& first = *blocks_[a.block];
    const Block& last = *blocks_[z.block];
    const TLineNode node = first.nodes[static_cast<size_t>(a.index)];
    std::string merged(
        std::string_view(first.text).substr(a.textStart, static_cast<size_t>(start - a.start)));
    merged.append(std::string_view(last.text).substr(z.textStart + static_cast<size_t>(end - z.start),
                                                     last.nodes[static_cast<size_t>(z.index)].length -
                                                         static_cast<size_t>(end - z.start)));
    const TLineIndex linesBefore = lineCount_;
    ReplaceNodes(a, z.line - a.line + 1, merged, node, z.line == lineCount_ - 1);
    Notify({TTextChange::Kind::Deleted, start, end - start, a.line, lineCount_ - linesBefore});
}

TOffset TTextStore::Insert(TOffset at, std::string_view bytes) {
    at = std::clamp<TOffset>(at, 0, textLength_);
    TTextNormalizer normalizer;
    std::string chunk(std::min<size_t>(kChunkSize, bytes.size()), '\0');
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t len = std::min<size_t>(kChunkSize, bytes.size() - pos);
        // A CR closing a full chunk goes into the next one with its LF.
        if (len == static_cast<size_t>(kChunkSize) && bytes[pos + len - 1] == '\r') --len;
        const size_t n = normalizer.Run(bytes.data() + pos, len, chunk.data());
        pos += len;
        if (n == 0) continue;
        if (static_cast<size_t>(INT32_MAX - textLength_) < n) throw ETessary(LoadStr(msg::SNotEnoughMemory));
        at = InsertChunk(at, std::string_view(chunk.data(), n));
    }
    return at;
}

void TTextStore::Delete(TOffset start, TOffset length) {
    start = std::clamp<TOffset>(start, 0, textLength_);
    const TOffset end = length <= 0 ? start : start + std::min(length, textLength_ - start);
    if (end > start) DeleteRange(start, end);
}

TOffset TTextStore::Replace(TOffset start, TOffset end, std::string_view bytes) {
    start = std::clamp<TOffset>(start, 0, textLength_);
    end = std::clamp<TOffset>(end, start, textLength_);
    if (end > start) DeleteRange(start, end);
    return Insert(start, bytes);
}

// ---- word wrap -------------------------------------------------------------------

void TTextStore::Rewrap(TLineIndex first, TLineIndex last, const TSegmentCutter& cut) {
    first = std::clamp<TLineIndex>(first, 0, lineCount_ - 1);
    last = std::clamp<TLineIndex>(last, first, lineCount_ - 1);
    while (first > 0 && Node(first).IsContinuation())
        --first;
    const TLineIndex linesBefore = lineCount_;
    bool changed = false;
    std::vector<int32_t> old, fresh;
    std::vector<uint8_t> styles;
    for (TLineIndex line = first; line <= last && line < lineCount_;) {
        Where w = FindLine(line);
        const TLineNode head = blocks_[w.block]->nodes[static_cast<size_t>(w.index)];
        old.assign(1, head.length);
        bool rehighlight = (head.state & kStateRehighlight) != 0;
        TLineIndex end = line;
        while (end + 1 < lineCount_ && Node(end + 1).IsContinuation()) {
            ++end;
            old.push_back(Node(end).length);
            rehighlight = rehighlight || (Node(end).state & kStateRehighlight) != 0;
        }
        const TOffset start = w.start;
        TOffset length = 0;
        for (const int32_t l : old)
            length += l;
        const std::string text = GetRange(start, start + length);
        fresh.clear();
        cut(text, fresh);
        TLineIndex next = end + 1;
        if (fresh != old) {
            changed = true;
            styles.clear();
            bool anyStyles = false;
            for (TLineIndex i = line; i <= end; ++i) {
                const std::span<const uint8_t> s = NodeStyles(i);
                anyStyles = anyStyles || !s.empty();
                if (s.empty())
                    styles.insert(styles.end(), Node(i).length, 0);
                else
                    styles.insert(styles.end(), s.begin(), s.end());
            }
            if (!anyStyles) styles.clear();
            w = FindLine(line);
            ReplaceNodes(w, end - line + 1, text, head, end == lineCount_ - 1, fresh, styles, rehighlight);
            const TLineIndex delta =
                static_cast<TLineIndex>(fresh.size()) - static_cast<TLineIndex>(old.size());
            next += delta;
            last += delta;
        }
        line = next;
    }
    if (changed) Notify({TTextChange::Kind::Rewrapped, LineStart(first), 0, first, lineCount_ - linesBefore});
}

// ---- observers ---------------------------------------------------------------

void TTextStore::AddObserver(TTextStoreObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void TTextStore::RemoveObserver(TTextStoreObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void TTextStore::Notify(const TTextChange& change) const {
    // A copy: an observer may remove itself while being told.
    const std::vector<TTextStoreObserver*> observers = observers_;
    for (TTextStoreObserver* o : observers)
        o->TextChanged(change);
}

void TTextStore::NotifyMarks(TLineIndex line) const {
    const std::vector<TTextStoreObserver*> observers = observers_;
    for (TTextStoreObserver* o : observers)
        o->MarksChanged(line);
}

TBookmarks& TTextStore::Bookmarks() {
    if (!bookmarks_) bookmarks_ = std::make_unique<TBookmarks>(*this);
    return *bookmarks_;
}

// ---- checks ------------------------------------------------------------------

std::string TTextStore::CheckInvariants() const {
    if (blocks_.empty()) return "no blocks";
    if (index_.Blocks() != blocks_.size()) return "block index has the wrong size";
    TOffset chars = 0;
    TLineIndex lines = 0;
    bool prevEndsLine = true;
    for (size_t b = 0; b < blocks_.size(); ++b) {
        const Block& blk = *blocks_[b];
        if (blk.nodes.empty()) return "empty block " + std::to_string(b);
        if (!blk.styles.empty() && blk.styles.size() != blk.text.size()) return "token bytes out of step";
        if (index_.LinesBefore(b) != lines || index_.CharsBefore(b) != chars)
            return "block index out of step";
        size_t pos = 0;
        for (const TLineNode& n : blk.nodes) {
            const std::string_view t = std::string_view(blk.text).substr(pos, n.length);
            if (t.size() != n.length) return "node runs past its block";
            if (n.length > kMaxNodeLength) return "node too long at line " + std::to_string(lines);
            if (n.IsContinuation() == prevEndsLine)
                return "wrong continuation mark at line " + std::to_string(lines);
            if (n.HasTab() != ContainsTab(t.data(), t.size()))
                return "wrong TAB bit at line " + std::to_string(lines);
            const bool last = b + 1 == blocks_.size() && &n == &blk.nodes.back();
            if (!last && n.length == 0) return "empty node inside the text at line " + std::to_string(lines);
            const size_t cr = t.find(kLineBreak);
            if (cr != std::string_view::npos && cr + 1 != t.size()) return "CR inside a node";
            prevEndsLine = !t.empty() && t.back() == kLineBreak;
            if (last && prevEndsLine) return "last node ends with CR";
            pos += n.length;
            chars += n.length;
            ++lines;
        }
        if (pos != blk.text.size()) return "block text longer than its nodes";
    }
    if (chars != textLength_) return "text length out of step";
    if (lines != lineCount_) return "line count out of step";
    return {};
}

} // namespace torvane::editor
