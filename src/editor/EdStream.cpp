#include "editor/EdStream.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>
#include <cstring>

namespace torvane::editor {

TEdStream::TEdStream(const TTextStore& store) : store_(store) {
    SetPosition(0);
}

void TEdStream::MoveTo(const TTextStore::Where& where, TOffset position) {
    block_ = where.block;
    index_ = where.index;
    textStart_ = where.textStart;
    line_ = where.line;
    pos_ = position;
    inNode_ = position - where.start;
    lastValid_ = store_.TextLength() - 1;
}

void TEdStream::Place(TLineIndex line, TOffset offsetInNode) {
    line = std::clamp<TLineIndex>(line, 0, store_.LineCount() - 1);
    const TTextStore::Where w = store_.FindLine(line);
    const TOffset len = store_.blocks_[w.block]->nodes[static_cast<size_t>(w.index)].length;
    MoveTo(w, w.start + std::clamp<TOffset>(offsetInNode, 0, len));
    SkipNodeEnd();
}

void TEdStream::SetPosition(TOffset position) {
    position = std::clamp<TOffset>(position, 0, store_.TextLength());
    MoveTo(store_.FindOffset(position), position);
}

char TEdStream::Peek() const noexcept {
    if (pos_ >= store_.TextLength()) return 0;
    return CurrentBlock().text[textStart_ + static_cast<size_t>(inNode_)];
}

void TEdStream::SkipNodeEnd() noexcept {
    while (inNode_ >= NodeLength() && line_ < store_.LineCount() - 1) {
        textStart_ += NodeLength();
        inNode_ = 0;
        ++line_;
        if (static_cast<size_t>(++index_) == CurrentBlock().nodes.size()) {
            ++block_;
            index_ = 0;
            textStart_ = 0;
        }
    }
}

void TEdStream::Next() noexcept {
    if (pos_ >= store_.TextLength()) return;
    ++pos_;
    ++inNode_;
    SkipNodeEnd();
}

void TEdStream::Back() noexcept {
    if (pos_ == 0) return;
    --pos_;
    if (inNode_ > 0) {
        --inNode_;
        return;
    }
    // Every node before the last one holds at least one character.
    if (index_ == 0) {
        --block_;
        index_ = static_cast<int>(CurrentBlock().nodes.size());
        textStart_ = CurrentBlock().text.size();
    }
    --index_;
    --line_;
    textStart_ -= NodeLength();
    inNode_ = NodeLength() - 1;
}

size_t TEdStream::Read(void* buffer, size_t count) {
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count && pos_ < store_.TextLength()) {
        // Characters of consecutive nodes lie back to back in a block.
        const std::string& text = CurrentBlock().text;
        const size_t at = textStart_ + static_cast<size_t>(inNode_);
        const size_t n = std::min(count - done, text.size() - at);
        std::memcpy(out + done, text.data() + at, n);
        done += n;
        SetPosition(pos_ + static_cast<TOffset>(n));
    }
    return done;
}

size_t TEdStream::Write(const void*, size_t) {
    throw EStreamError(LoadStr(msg::SReadOnlyStream));
}

void TEdStream::SetSize(int64_t) {
    throw EStreamError(LoadStr(msg::SReadOnlyStream));
}

int64_t TEdStream::Seek(int64_t offset, SeekOrigin origin) {
    const int64_t base = origin == SeekOrigin::Beginning ? 0
                         : origin == SeekOrigin::Current ? pos_
                                                         : store_.TextLength();
    const int64_t target = std::clamp<int64_t>(base + offset, 0, store_.TextLength());
    SetPosition(static_cast<TOffset>(target));
    return pos_;
}

} // namespace torvane::editor
