#pragma once
// TCompressor packs one stream into another and back; the highlighting parser
// uses it for the tables of a compiled scheme.
//
// Compressed stream (integers little-endian):
//
//   offset 0  4 bytes  marker: "WRZL" block codec, "!HZL" LZHUF codec;
//                      "WRZC", "!HZC": the same, with a checksum at the end
//   offset 4  4 bytes  uncompressed size (signed 32-bit)
//   offset 8  ...      payload of the codec:
//     "WRZL": blocks, one per 32768 input bytes (the last one shorter; an
//             input whose length is a multiple of 32768, the empty input
//             included, ends with a block for zero bytes). Each block is a
//             16-bit length and that many bytes of block data
//             (compressor/BlockCodec.h). The reader takes blocks while
//             the previous one gave exactly 32768 bytes.
//     "!HZL": one LZHUF bit stream (compressor/Lzhuf.h).
//   then, for "WRZC" and "!HZC" only, 4 bytes: CRC-32 of the uncompressed bytes.
//
// A checksum is written only when asked (SetChecksum); compiled schemes keep
// the plain markers, and every reader takes all four. Without one, a damaged
// literal byte decodes to a wrong byte that nothing else can notice.
//
// Decompress() guarantees, for any input: it never writes more than the
// stated size, never reads or writes outside its work
// buffers, and either reproduces exactly the stated number of bytes or raises
// ECompressorException. Output already written to the output stream before an
// error stays there; callers that must not see partial data decompress into a
// memory stream first.

#include "common/Stream.h"

#include <cstdint>
#include <limits>

namespace torvane {

class TCompressor {
public:
    enum class Method : uint8_t {
        Lzhuf = 0, // better ratio, slower
        Block = 1, // fast; what the parser uses
        Auto = 2,  // Advise() decides per call
    };

    TCompressor() = default;
    TCompressor(const TCompressor&) = delete;
    TCompressor& operator=(const TCompressor&) = delete;

    Method GetMethod() const noexcept { return method_; }
    void SetMethod(Method method) noexcept { method_ = method; }
    // Percentage below which Advise() prefers the block codec.
    int Threshold() const noexcept { return threshold_; }
    void SetThreshold(int percent) noexcept { threshold_ = percent; }
    // The streams are not owned. Input is read from its current position.
    void SetInputStream(TStream* stream) noexcept { input_ = stream; }
    void SetOutputStream(TStream* stream) noexcept { output_ = stream; }
    TStream* InputStream() const noexcept { return input_; }
    TStream* OutputStream() const noexcept { return output_; }
    // Decompress() refuses a stream whose stated size is larger, before it
    // decodes anything: a few bytes of runs can state gigabytes.
    void SetMaxOutputSize(int64_t bytes) noexcept { maxOutput_ = bytes; }
    // Compress() writes the checked form. Decompress() of a checked stream
    // re-reads what it wrote, so its output stream must be readable.
    void SetChecksum(bool on) noexcept { checksum_ = on; }

    // Writes marker, size and payload of the rest of the input stream.
    void Compress();
    // Reads one compressed stream and writes the original bytes.
    void Decompress();
    // True when the block codec packs three 32768-byte samples of the input
    // (at its start, one third and two thirds, rounded down to whole blocks)
    // below Threshold() percent of their size. Leaves the input position as
    // it found it.
    bool Advise();

private:
    int64_t CheckedInputStart() const;
    void CheckOutput() const;
    void CompressBlocks(int64_t size);
    void CompressLzhuf(int64_t size);
    void DecompressBlocks(int64_t size);
    void DecompressLzhuf(int64_t size);
    void WriteU32(uint32_t value);

    Method method_ = Method::Block;
    int threshold_ = 40;
    TStream* input_ = nullptr;
    TStream* output_ = nullptr;
    int64_t maxOutput_ = std::numeric_limits<int32_t>::max();
    bool checksum_ = false;
};

} // namespace torvane
