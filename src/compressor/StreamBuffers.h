#pragma once
// Buffered byte access to the compressor's input and output streams. The
// codecs pull and push single bytes; these keep that cheap and turn stream
// failures into the compressor's own error texts.

#include "common/Stream.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace torvane::compressor {

class TInputBuffer {
public:
    // Delivers at most `limit` bytes of the stream.
    TInputBuffer(TStream& stream, size_t capacity, int64_t limit = std::numeric_limits<int64_t>::max());
    TInputBuffer(const TInputBuffer&) = delete;
    TInputBuffer& operator=(const TInputBuffer&) = delete;

    // The next byte, or -1 when the stream has ended.
    int Get() {
        if (pos_ == end_ && !Refill()) return -1;
        return buffer_[pos_++];
    }
    // Copies up to count bytes; fewer only when the stream ends first.
    size_t ReadUpTo(uint8_t* dst, size_t count);
    // Bytes handed out so far.
    int64_t Consumed() const noexcept { return fetched_ - static_cast<int64_t>(end_ - pos_); }
    // Seeks the stream back over the bytes read ahead but not handed out, so
    // that whatever follows the compressed data is left for the caller.
    void ReturnUnused();

private:
    bool Refill();

    TStream& stream_;
    std::vector<uint8_t> buffer_;
    size_t pos_ = 0;
    size_t end_ = 0;
    int64_t fetched_ = 0;
    int64_t limit_;
};

class TOutputBuffer {
public:
    TOutputBuffer(TStream& stream, size_t capacity);
    TOutputBuffer(const TOutputBuffer&) = delete;
    TOutputBuffer& operator=(const TOutputBuffer&) = delete;

    void Put(uint8_t byte) {
        if (used_ == buffer_.size()) Flush();
        buffer_[used_++] = byte;
    }
    void Write(const uint8_t* src, size_t count);
    // Hands the buffered bytes to the stream; a short write raises
    // ECompressorException "Compressor : Error writing to output stream !".
    void Flush();
    // Bytes accepted so far, flushed or not.
    int64_t Total() const noexcept { return flushed_ + static_cast<int64_t>(used_); }

private:
    TStream& stream_;
    std::vector<uint8_t> buffer_;
    size_t used_ = 0;
    int64_t flushed_ = 0;
};

// Writes exactly count bytes straight to a stream, with the same error text.
void WriteAll(TStream& stream, const void* src, size_t count);
// Reads up to count bytes from a stream, looping over short reads; returns
// the number read (fewer only at the end of the stream).
size_t ReadUpTo(TStream& stream, void* dst, size_t count);

} // namespace torvane::compressor
