#include "compressor/Compressor.h"

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "compressor/BlockCodec.h"
#include "compressor/Lzhuf.h"
#include "compressor/StreamBuffers.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace torvane {

using namespace compressor;

namespace {

constexpr uint8_t kBlockMarker[4] = {'W', 'R', 'Z', 'L'};
constexpr uint8_t kLzhufMarker[4] = {'!', 'H', 'Z', 'L'};
// The same codecs followed by a CRC-32 of the original bytes.
constexpr uint8_t kCheckedBlockMarker[4] = {'W', 'R', 'Z', 'C'};
constexpr uint8_t kCheckedLzhufMarker[4] = {'!', 'H', 'Z', 'C'};
constexpr int kSampleCount = 3;

[[noreturn]] void Fail(int messageId) {
    throw ECompressorException(LoadStr(messageId));
}

template <class T> std::vector<T> WorkBuffer(size_t count) {
    try {
        return std::vector<T>(count);
    } catch (const std::bad_alloc&) {
        Fail(msg::SCompressorNoMemory);
    }
}

// Puts an input stream back where it was, however the sampling ends.
class TPositionRestorer {
public:
    TPositionRestorer(TStream& stream, int64_t position) : stream_(stream), position_(position) {}
    ~TPositionRestorer() { stream_.SetPosition(position_); }
    TPositionRestorer(const TPositionRestorer&) = delete;
    TPositionRestorer& operator=(const TPositionRestorer&) = delete;

private:
    TStream& stream_;
    int64_t position_;
};

// CRC-32 (the reflected polynomial 0xEDB88320, as zip and PNG use).
constexpr std::array<uint32_t, 256> kCrcTable = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

// CRC-32 of `count` bytes of the stream from `start`; leaves the stream
// after them. Fails when the stream holds fewer.
uint32_t CrcOfRange(TStream& stream, int64_t start, int64_t count) {
    stream.SetPosition(start);
    auto buffer = WorkBuffer<uint8_t>(kBlockBufferSize);
    uint32_t crc = 0xFFFFFFFFu;
    while (count > 0) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(count, kBlockBufferSize));
        if (ReadUpTo(stream, buffer.data(), want) != want) Fail(msg::SCompressorReadError);
        for (size_t i = 0; i < want; ++i)
            crc = kCrcTable[(crc ^ buffer[i]) & 0xFF] ^ (crc >> 8);
        count -= static_cast<int64_t>(want);
    }
    return crc ^ 0xFFFFFFFFu;
}

int64_t RemainingBytes(TStream& stream, int64_t start) {
    int64_t size = stream.Size();
    if (size < 0) Fail(msg::SCompressorInputSize);
    return std::max<int64_t>(0, size - start);
}

} // namespace

int64_t TCompressor::CheckedInputStart() const {
    int64_t position = input_ ? input_->Position() : -1;
    if (position < 0) Fail(msg::SCompressorInputInit);
    return position;
}

void TCompressor::CheckOutput() const {
    if (!output_ || output_->Position() < 0) Fail(msg::SCompressorOutputInit);
}

void TCompressor::Compress() {
    const int64_t start = CheckedInputStart();
    CheckOutput();
    const int64_t size = RemainingBytes(*input_, start);
    // The header holds a signed 32-bit size; a longer input cannot be described.
    if (size > std::numeric_limits<int32_t>::max()) Fail(msg::SCompressorInputSize);

    Method method = method_;
    if (method == Method::Auto) method = Advise() ? Method::Block : Method::Lzhuf;

    uint8_t header[8];
    if (checksum_)
        std::memcpy(header, method == Method::Lzhuf ? kCheckedLzhufMarker : kCheckedBlockMarker, 4);
    else
        std::memcpy(header, method == Method::Lzhuf ? kLzhufMarker : kBlockMarker, 4);
    const auto size32 = static_cast<uint32_t>(size);
    for (int i = 0; i < 4; ++i)
        header[4 + i] = static_cast<uint8_t>(size32 >> (8 * i));
    WriteAll(*output_, header, sizeof header);

    if (method == Method::Lzhuf) {
        CompressLzhuf(size);
    } else {
        CompressBlocks(size);
    }
    if (checksum_) WriteU32(CrcOfRange(*input_, start, size));
}

void TCompressor::WriteU32(uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    WriteAll(*output_, bytes, 4);
}

void TCompressor::CompressBlocks(int64_t size) {
    auto in = WorkBuffer<uint8_t>(kBlockBufferSize);
    auto out = WorkBuffer<uint8_t>(kBlockBufferSize);
    auto hashTable = WorkBuffer<int32_t>(kHashSlots);

    int64_t left = size;
    size_t n;
    do {
        const size_t want = static_cast<size_t>(std::min<int64_t>(left, kBlockSize));
        n = ReadUpTo(*input_, in.data(), want);
        // A stream that delivers less than it claims would leave a header
        // that no longer describes the payload.
        if (n != want) Fail(msg::SCompressorReadError);
        left -= static_cast<int64_t>(n);
        const size_t length = CompressBlock(in.data(), n, out.data(), hashTable.data());
        const uint8_t prefix[2] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8)};
        WriteAll(*output_, prefix, 2);
        WriteAll(*output_, out.data(), length);
    } while (n == kBlockSize);
}

void TCompressor::CompressLzhuf(int64_t size) {
    TInputBuffer in(*input_, kBlockBufferSize, size);
    TOutputBuffer out(*output_, kBlockBufferSize);
    LzhufEncode(in, out);
    out.Flush();
    if (in.Consumed() != size) Fail(msg::SCompressorReadError);
}

void TCompressor::Decompress() {
    CheckedInputStart();
    CheckOutput();
    uint8_t marker[4];
    if (ReadUpTo(*input_, marker, 4) != 4) Fail(msg::SCompressorReadError);
    const bool checked =
        std::memcmp(marker, kCheckedBlockMarker, 4) == 0 || std::memcmp(marker, kCheckedLzhufMarker, 4) == 0;
    const bool isBlock =
        std::memcmp(marker, kBlockMarker, 4) == 0 || std::memcmp(marker, kCheckedBlockMarker, 4) == 0;
    if (!isBlock && !checked && std::memcmp(marker, kLzhufMarker, 4) != 0) Fail(msg::SCompressorNoHeader);
    uint8_t sizeBytes[4];
    if (ReadUpTo(*input_, sizeBytes, 4) != 4) Fail(msg::SCompressorReadError);
    const auto size = static_cast<int32_t>(static_cast<uint32_t>(sizeBytes[0]) | sizeBytes[1] << 8 |
                                           sizeBytes[2] << 16 | static_cast<uint32_t>(sizeBytes[3]) << 24);
    if (size > maxOutput_)
        throw ECompressorException(
            FormatStr<msg::SCompressorTooLarge>(size, static_cast<int>(maxOutput_ >> 20)));
    const int64_t outputStart = output_->Position();
    if (isBlock) {
        DecompressBlocks(size);
    } else {
        DecompressLzhuf(size);
    }
    if (checked) {
        uint8_t stored[4];
        if (ReadUpTo(*input_, stored, 4) != 4) Fail(msg::SCompressorReadError);
        const uint32_t expected = static_cast<uint32_t>(stored[0]) | stored[1] << 8 | stored[2] << 16 |
                                  static_cast<uint32_t>(stored[3]) << 24;
        if (CrcOfRange(*output_, outputStart, size) != expected) Fail(msg::SCompressorChecksum);
    }
}

void TCompressor::DecompressBlocks(int64_t size) {
    auto in = WorkBuffer<uint8_t>(kBlockBufferSize);
    auto out = WorkBuffer<uint8_t>(kBlockBufferSize);

    int64_t total = 0;
    std::ptrdiff_t produced;
    do {
        uint8_t prefix[2];
        if (ReadUpTo(*input_, prefix, 2) != 2) Fail(msg::SCompressorReadError);
        const size_t length = static_cast<size_t>(prefix[0] | prefix[1] << 8);
        if (length > kBlockBufferSize) Fail(msg::SCompressorReadErrorBlock);
        if (ReadUpTo(*input_, in.data(), length) != length) Fail(msg::SCompressorReadError);
        produced = DecompressBlock(in.data(), length, out.data());
        if (produced < 0) Fail(msg::SCompressorReadErrorBlock);
        // Stop as soon as the stated size is exceeded, so a damaged stream
        // cannot make us write without end.
        if (produced > size - total) Fail(msg::SCompressorBlockSizeMismatch);
        WriteAll(*output_, out.data(), static_cast<size_t>(produced));
        total += produced;
    } while (produced == static_cast<std::ptrdiff_t>(kBlockSize));
    if (total != size) Fail(msg::SCompressorBlockSizeMismatch);
}

void TCompressor::DecompressLzhuf(int64_t size) {
    if (size < 0) Fail(msg::SCompressorLzhSizeMismatch);
    TInputBuffer in(*input_, kBlockBufferSize);
    TOutputBuffer out(*output_, kBlockBufferSize);
    const int64_t produced = LzhufDecode(in, out, size);
    out.Flush();
    in.ReturnUnused();
    if (produced != size) Fail(msg::SCompressorLzhSizeMismatch);
}

bool TCompressor::Advise() {
    const int64_t start = CheckedInputStart();
    const int64_t size = RemainingBytes(*input_, start);
    auto in = WorkBuffer<uint8_t>(kBlockBufferSize);
    auto out = WorkBuffer<uint8_t>(kBlockBufferSize);
    auto hashTable = WorkBuffer<int32_t>(kHashSlots);
    TPositionRestorer restore(*input_, start);

    int64_t sampled = 0;
    int64_t packed = 0;
    for (int k = 0; k < kSampleCount; ++k) {
        const int64_t offset = size * k / kSampleCount / kBlockSize * kBlockSize;
        input_->SetPosition(start + offset);
        const size_t want = static_cast<size_t>(std::min<int64_t>(size - offset, kBlockSize));
        const size_t n = ReadUpTo(*input_, in.data(), want);
        packed += static_cast<int64_t>(CompressBlock(in.data(), n, out.data(), hashTable.data()));
        sampled += static_cast<int64_t>(n);
    }
    return packed * 100 < static_cast<int64_t>(threshold_) * sampled;
}

} // namespace torvane
