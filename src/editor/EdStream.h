#pragma once
// TEdStream: a read-only character cursor over a text store, used by word
// moves, searching, the regular-expression engine and the tokenizer. Line
// breaks read as character 13. The cursor stays valid only while the store
// is not changed; Place() or SetPosition() after a change re-reads it.
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

    char Peek() const noexcept;
    TOffset GetPosition() const noexcept { return pos_; }
    // Clamped to 0..text length.
    void SetPosition(TOffset position);
    bool AtEnd() const noexcept { return pos_ > lastValid_; }
    void Next() noexcept;
    void Back() noexcept;

    TLineIndex Line() const noexcept { return line_; }
    TOffset NodeOffset() const noexcept { return inNode_; }
    TOffset NodeStart() const noexcept { return pos_ - inNode_; }

    // TStream: reading copies characters up to the text end.
    size_t Read(void* buffer, size_t count) override;
    // Raises EStreamError "Cannot write to a read-only stream".
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() const override { return store_.TextLength(); }
    void SetSize(int64_t size) override;

private:
    const TTextStore::Block& CurrentBlock() const noexcept { return *store_.blocks_[block_]; }
    uint16_t NodeLength() const noexcept { return CurrentBlock().nodes[static_cast<size_t>(index_)].length; }
    void MoveTo(const TTextStore::Where& where, TOffset position);
    // Steps into the next node while the cursor sits at the end of a node
    // that is not the last one.
    void SkipNodeEnd() noexcept;

    const TTextStore& store_;
    size_t block_ = 0;
    int index_ = 0;        // node inside the block
    size_t textStart_ = 0; // node's first character in the block text
    TLineIndex line_ = 0;
    TOffset inNode_ = 0;
    TOffset pos_ = 0;
    TOffset lastValid_ = -1; // text length - 1 when created or placed
};

} // namespace torvane::editor
