#include "compressor/StreamBuffers.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>
#include <cstring>

namespace torvane::compressor {

size_t ReadUpTo(TStream& stream, void* dst, size_t count) {
    auto* p = static_cast<uint8_t*>(dst);
    size_t done = 0;
    while (done < count) {
        size_t n = stream.Read(p + done, count - done);
        if (n == 0) break;
        done += n;
    }
    return done;
}

void WriteAll(TStream& stream, const void* src, size_t count) {
    if (count != 0 && stream.Write(src, count) != count)
        throw ECompressorException(LoadStr(msg::SCompressorWriteError));
}

TInputBuffer::TInputBuffer(TStream& stream, size_t capacity, int64_t limit)
    : stream_(stream), buffer_(capacity), limit_(limit) {}

bool TInputBuffer::Refill() {
    const size_t want =
        static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(buffer_.size()), limit_ - fetched_));
    end_ = compressor::ReadUpTo(stream_, buffer_.data(), want);
    pos_ = 0;
    fetched_ += static_cast<int64_t>(end_);
    return end_ != 0;
}

void TInputBuffer::ReturnUnused() {
    const int64_t unused = static_cast<int64_t>(end_ - pos_);
    if (unused != 0) stream_.Seek(-unused, SeekOrigin::Current);
    fetched_ -= unused;
    pos_ = end_ = 0;
}

size_t TInputBuffer::ReadUpTo(uint8_t* dst, size_t count) {
    size_t done = 0;
    while (done < count) {
        if (pos_ == end_ && !Refill()) break;
        size_t n = std::min(count - done, end_ - pos_);
        std::memcpy(dst + done, buffer_.data() + pos_, n);
        pos_ += n;
        done += n;
    }
    return done;
}

TOutputBuffer::TOutputBuffer(TStream& stream, size_t capacity) : stream_(stream), buffer_(capacity) {}

void TOutputBuffer::Write(const uint8_t* src, size_t count) {
    while (count != 0) {
        if (used_ == buffer_.size()) Flush();
        size_t n = std::min(count, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, src, n);
        used_ += n;
        src += n;
        count -= n;
    }
}

void TOutputBuffer::Flush() {
    WriteAll(stream_, buffer_.data(), used_);
    flushed_ += static_cast<int64_t>(used_);
    used_ = 0;
}

} // namespace torvane::compressor
