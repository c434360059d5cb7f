#include "editor/EdStream.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>
#include <cstring>

namespace torvane::editor {

TEdStream::TEdStream(const TTextStore& store) : store_(store) {
    MoveTo(store_.FindOffset(0), 0);
}

void TEdStream::LoadBlock() noexcept {
    const std::string& text = store_.blocks_[block_]->text;
    begin_ = text.data();
    end_ = begin_ + text.size();
}

void TEdStream::MoveTo(const TTextStore::Where& where, TOffset position) {
    block_ = where.block;
    blockStart_ = where.start - static_cast<TOffset>(where.textStart);
    LoadBlock();
    pos_ = position;
    at_ = begin_ + (position - blockStart_);
    layoutVersion_ = store_.LayoutVersion();
    if (at_ == end_) EnterNextBlock();
}

void TEdStream::EnterNextBlock() noexcept {
    const size_t blocks = store_.blocks_.size();
    while (at_ == end_ && block_ + 1 < blocks) {
        blockStart_ += end_ - begin_;
        ++block_;
        LoadBlock();
        at_ = begin_;
    }
}

void TEdStream::EnterPreviousBlock() noexcept {
    // Called with pos_ > 0, so a block before holds a character.
    do {
        --block_;
        LoadBlock();
        blockStart_ -= end_ - begin_;
    } while (begin_ == end_);
    at_ = end_;
}

void TEdStream::Resync() noexcept {
    const TOffset position = std::clamp<TOffset>(pos_, 0, store_.TextLength());
    MoveTo(store_.FindOffset(position), position);
}

char TEdStream::PeekAfterChange() const noexcept {
    if (pos_ >= store_.TextLength()) return 0;
    const TTextStore::Where w = store_.FindOffset(pos_);
    return store_.blocks_[w.block]->text[w.textStart + static_cast<size_t>(pos_ - w.start)];
}

void TEdStream::Place(TLineIndex line, TOffset offsetInNode) {
    line = std::clamp<TLineIndex>(line, 0, store_.LineCount() - 1);
    const TTextStore::Where w = store_.FindLine(line);
    const TOffset len = store_.blocks_[w.block]->nodes[static_cast<size_t>(w.index)].length;
    MoveTo(w, w.start + std::clamp<TOffset>(offsetInNode, 0, len));
}

void TEdStream::SetPosition(TOffset position) {
    position = std::clamp<TOffset>(position, 0, store_.TextLength());
    if (!Stale() && position >= blockStart_ && position - blockStart_ < end_ - begin_) {
        pos_ = position;
        at_ = begin_ + (position - blockStart_);
        return;
    }
    MoveTo(store_.FindOffset(position), position);
}

TLineIndex TEdStream::Line() const {
    return store_.LineOfOffset(pos_);
}

TOffset TEdStream::NodeStart() const {
    return store_.LineStart(Line());
}

size_t TEdStream::Read(void* buffer, size_t count) {
    if (Stale()) Resync();
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count && at_ != end_) {
        const size_t n = std::min(count - done, static_cast<size_t>(end_ - at_));
        std::memcpy(out + done, at_, n);
        done += n;
        at_ += n;
        pos_ += static_cast<TOffset>(n);
        if (at_ == end_) EnterNextBlock();
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
