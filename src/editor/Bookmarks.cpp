#include "editor/Bookmarks.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>

namespace torvane::editor {

// ---- named bookmarks --------------------------------------------------------

void TCustomBookmarks::Add(const std::string& name, TOffset offset) {
    std::erase_if(entries_, [&](const Entry& e) { return e.name == name; });
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), offset,
                                     [](TOffset o, const Entry& e) { return o < e.offset; });
    entries_.insert(at, Entry{name, offset});
}

std::optional<TOffset> TCustomBookmarks::Find(const std::string& name) const {
    for (const Entry& e : entries_)
        if (e.name == name) return e.offset;
    return std::nullopt;
}

bool TCustomBookmarks::Remove(const std::string& name) {
    const auto it =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.name == name; });
    if (it == entries_.end()) return false;
    entries_.erase(it);
    if (OnCustomBookmarkFree) OnCustomBookmarkFree(name);
    return true;
}

void TCustomBookmarks::Clear() {
    // Emptied first, so that a handler sees the list as it will stay.
    const std::vector<Entry> gone = std::move(entries_);
    entries_.clear();
    if (OnCustomBookmarkFree)
        for (const Entry& e : gone)
            OnCustomBookmarkFree(e.name);
}

void TCustomBookmarks::Inserted(TOffset at, TOffset count) {
    for (Entry& e : entries_)
        if (e.offset >= at) e.offset += count;
}

void TCustomBookmarks::Deleted(TOffset at, TOffset count) {
    std::vector<std::string> gone;
    std::erase_if(entries_, [&](const Entry& e) {
        const bool inside = e.offset >= at && e.offset < at + count;
        if (inside) gone.push_back(e.name);
        return inside;
    });
    for (Entry& e : entries_)
        if (e.offset >= at + count) e.offset -= count;
    if (OnCustomBookmarkFree)
        for (const std::string& name : gone)
            OnCustomBookmarkFree(name);
}

// ---- numbered bookmarks -----------------------------------------------------

TBookmarks::TBookmarks(TTextStore& store) : store_(store) {
    store_.AddObserver(this);
}

TBookmarks::~TBookmarks() {
    store_.RemoveObserver(this);
}

void TBookmarks::CheckIndex(int n) {
    if (n < 0 || n >= kCount) throw ETessary(LoadStr(msg::SBookmarkIndexRange));
}

TLineIndex TBookmarks::FirstSegment(TLineIndex line) const {
    while (line > 0 && store_.Node(line).IsContinuation())
        --line;
    return line;
}

TOffset TBookmarks::LineEndFrom(TLineIndex first) const {
    TOffset end = store_.LineStart(first) + store_.Node(first).length;
    for (TLineIndex i = first + 1; i < store_.LineCount() && store_.Node(i).IsContinuation(); ++i)
        end += store_.Node(i).length;
    return end;
}

TLineIndex TBookmarks::LineOf(int n) const {
    CheckIndex(n);
    const Numbered& b = numbered_[static_cast<size_t>(n)];
    return b.set ? FirstSegment(store_.LineOfOffset(b.lineStart)) : -1;
}

uint16_t TBookmarks::Column(int n) const {
    CheckIndex(n);
    return numbered_[static_cast<size_t>(n)].column;
}

void TBookmarks::SetBits(TLineIndex line, uint16_t bits) {
    const TLineNode& node = store_.Node(line);
    if ((node.marks & kMarkBookmarkMask) == bits) return;
    // The store tells every control that shows it to repaint the line.
    store_.SetNodeState(line, node.state | kStateRepaint);
    store_.SetBookmarks(line, bits);
}

void TBookmarks::SetBookmark(int n, TOffset caret) {
    CheckIndex(n);
    const TLineIndex line = FirstSegment(store_.LineOfOffset(caret));
    Numbered& b = numbered_[static_cast<size_t>(n)];
    const TLineIndex current = LineOf(n);
    if (current == line) {
        b = Numbered{};
        SetBits(line, 0);
        return;
    }
    if (current >= 0) SetBits(current, 0);
    // The line takes bookmark n in place of any other it had.
    for (int m = 0; m < kCount; ++m)
        if (m != n && LineOf(m) == line) numbered_[static_cast<size_t>(m)] = Numbered{};
    const TOffset start = store_.LineStart(line);
    b.set = true;
    b.column = static_cast<uint16_t>(std::min<TOffset>(caret - start + 1, UINT16_MAX));
    b.lineStart = start;
    b.lineEnd = LineEndFrom(line);
    SetBits(line, static_cast<uint16_t>(1u << n));
    if (OnBookmarkSet) OnBookmarkSet(n);
}

std::optional<TBookmarks::GotoTarget> TBookmarks::GotoBookmark(int n, int visibleLines) const {
    const TLineIndex line = LineOf(n);
    if (line < 0) return std::nullopt;
    const Numbered& b = numbered_[static_cast<size_t>(n)];
    const TOffset end = b.lineEnd;
    const bool hasBreak = end > b.lineStart && store_.GetRange(end - 1, end) == std::string(1, kLineBreak);
    const TOffset length = end - b.lineStart - (hasBreak ? 1 : 0);
    // A column beyond a line that has become shorter gives the line's end.
    const TOffset caret = b.lineStart + std::min<TOffset>(b.column - 1, length);
    return GotoTarget{caret, std::max<TLineIndex>(0, line - visibleLines / 2)};
}

void TBookmarks::ClearAll() {
    for (int n = 0; n < kCount; ++n) {
        const TLineIndex line = LineOf(n);
        numbered_[static_cast<size_t>(n)] = Numbered{};
        if (line >= 0) SetBits(line, 0);
    }
}

void TBookmarks::TextChanged(const TTextChange& change) {
    if (change.kind == TTextChange::Kind::Reloaded) {
        numbered_.fill(Numbered{});
        named_.Clear();
        return;
    }
    std::array<bool, kCount> joined{};
    if (change.kind == TTextChange::Kind::Inserted) {
        named_.Inserted(change.start, change.extent);
        for (Numbered& b : numbered_)
            if (b.set && change.start <= b.lineStart) {
                // Text inserted at a line start goes before the line, which
                // moves on with its bookmark.
                b.lineStart += change.extent;
                b.lineEnd += change.extent;
            }
    } else {
        named_.Deleted(change.start, change.extent);
        const TOffset p = change.start, q = change.start + change.extent;
        for (int n = 0; n < kCount; ++n) {
            Numbered& b = numbered_[static_cast<size_t>(n)];
            if (!b.set) continue;
            if (q <= b.lineStart) {
                b.lineStart -= change.extent;
                b.lineEnd -= change.extent;
            } else if (p < b.lineEnd && p <= b.lineStart) {
                // The deletion took the start of the line. Gone entirely when
                // it took the whole line: with its break, or, for the last
                // line, together with the break before it.
                const bool lastLine = b.lineEnd == store_.TextLength() + change.extent;
                if (q >= b.lineEnd && (!lastLine || p < b.lineStart))
                    b = Numbered{};
                else if (p < b.lineStart) {
                    b.lineStart = p;
                    joined[static_cast<size_t>(n)] = true;
                }
            }
        }
    }
    Apply(change.firstLine, joined);
}

void TBookmarks::Apply(TLineIndex touched, const std::array<bool, kCount>& joined) {
    std::array<TLineIndex, kCount> lines{};
    for (int n = 0; n < kCount; ++n) {
        Numbered& b = numbered_[static_cast<size_t>(n)];
        lines[static_cast<size_t>(n)] = -1;
        if (!b.set) continue;
        const TLineIndex line = FirstSegment(store_.LineOfOffset(b.lineStart));
        b.lineStart = store_.LineStart(line);
        b.lineEnd = LineEndFrom(line);
        lines[static_cast<size_t>(n)] = line;
    }
    // Two bookmarks on one line after lines were joined: the line whose start
    // survived keeps its own.
    for (int n = 0; n < kCount; ++n)
        for (int m = 0; m < kCount; ++m) {
            const size_t i = static_cast<size_t>(n), j = static_cast<size_t>(m);
            if (m == n || lines[i] < 0 || lines[i] != lines[j]) continue;
            const bool dropN = joined[i] && !joined[j] ? true : joined[j] && !joined[i] ? false : n > m;
            const size_t drop = dropN ? i : j;
            numbered_[drop] = Numbered{};
            lines[drop] = -1;
        }

    auto bitsOf = [&](TLineIndex line) {
        uint16_t bits = 0;
        for (int n = 0; n < kCount; ++n)
            if (lines[static_cast<size_t>(n)] == line) bits |= static_cast<uint16_t>(1u << n);
        return bits;
    };
    // The first rebuilt node inherited the marks of the node that was cut.
    touched = std::clamp<TLineIndex>(touched, 0, store_.LineCount() - 1);
    SetBits(touched, bitsOf(touched));
    for (TLineIndex line : lines)
        if (line >= 0) SetBits(line, bitsOf(line));
}

} // namespace torvane::editor
