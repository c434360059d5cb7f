#pragma once
// TEdStream: a read-only character cursor over a text store, used by word
// moves, searching, the regular-expression engine and the tokenizer. Line
// breaks read as character 13.
//
// The nodes of a block keep their characters back to back, so the cursor
// walks a block's text as one array: it keeps a pointer into it and the
// block's first offset, which makes Peek, Next and Back a few instructions,
// and SetPosition anywhere in the same block a subtraction. Only crossing
// into another block (or a SetPosition outside the block) goes to the store.
// The node (line) under the cursor is looked up when asked for.
//
// When the store's nodes change, the cursor notices at its next Peek, AtEnd,
// move or read and finds its offset again (an offset beyond the new end
// reads as the end).
//
// Positions run from 0 to the text length; the text length itself is the
// end (AtEnd() is true there and Peek() gives 0).

#include "common/Stream.h"
#include "editor/TextStore.h"

namespace torvane::editor {

class TEdStream final : public TStream {
public:
    explicit TEdStream(const TTextStore& store);

    // Puts the cursor at offsetInNode of node line (clamped to the node).
    void Place(TLineIndex line, TOffset offsetInNode);

    char Peek() const noexcept {
        if (Stale()) return PeekAfterChange();
        // At the end of its block only at the end of the text.
        return at_ < end_ ? *at_ : 0;
    }
    TOffset GetPosition() const noexcept { return pos_; }
    // Clamped to 0..text length.
    void SetPosition(TOffset position);
    bool AtEnd() const noexcept { return Stale() ? pos_ >= store_.TextLength() : at_ == end_; }
    void Next() noexcept {
        if (Stale()) Resync();
        if (at_ == end_) return;
        ++pos_;
        if (++at_ == end_) EnterNextBlock();
    }
    void Back() noexcept {
        if (Stale()) Resync();
        if (pos_ == 0) return;
        if (at_ == begin_) EnterPreviousBlock();
        --pos_;
        --at_;
    }

    // The node that holds the cursor (the next node when the cursor stands
    // at the end of one), and the cursor's offset in it.
    TLineIndex Line() const;
    TOffset NodeStart() const;
    TOffset NodeOffset() const { return pos_ - NodeStart(); }

    // The block text around the cursor as one array, for cursors that walk
    // it themselves: [begin, end) starts at text offset start and at is the
    // cursor (at == end only at the end of the text). Valid until the store's
    // nodes change.
    struct Span {
        const char* begin;
        const char* end;
        const char* at;
        TOffset start;
    };
    Span CurrentSpan() noexcept {
        if (Stale()) Resync();
        return {begin_, end_, at_, blockStart_};
    }

    // TStream: reading copies characters up to the text end.
    size_t Read(void* buffer, size_t count) override;
    // Raises EStreamError "Cannot write to a read-only stream".
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() const override { return store_.TextLength(); }
    void SetSize(int64_t size) override;

private:
    void MoveTo(const TTextStore::Where& where, TOffset position);
    bool Stale() const noexcept { return layoutVersion_ != store_.LayoutVersion(); }
    // Finds pos_ again after the store changed (clamped to the new end).
    void Resync() noexcept;
    char PeekAfterChange() const noexcept;
    void LoadBlock() noexcept;
    // Moves on to the first character of the next block that has one, when
    // there is such a block.
    void EnterNextBlock() noexcept;
    // Moves to the end of the nearest block before that has characters.
    void EnterPreviousBlock() noexcept;

    const TTextStore& store_;
    size_t block_ = 0;
    TOffset blockStart_ = 0; // offset of the block's first character
    const char* begin_ = nullptr;
    const char* end_ = nullptr;
    const char* at_ = nullptr;
    TOffset pos_ = 0;
    uint64_t layoutVersion_ = 0; // the store's layout version when placed
};

} // namespace torvane::editor
