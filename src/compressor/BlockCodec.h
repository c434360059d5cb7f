#pragma once
// The fast block codec of the compressor (marker "WRZL"). One call handles one
// block of at most kBlockSize input bytes; blocks are independent, so a copy
// never reaches into an earlier block.
//
// Block data (the stream layer writes a 16-bit little-endian length first):
//
//   flag  1 byte   kFlagCompressed (64): items follow
//                  kFlagStored (128):    the input bytes follow unchanged
//   then, for a compressed block, groups of up to 16 items, each group led by
//   a big-endian 16-bit control word whose bits, from the most significant
//   down, say 0 = literal, 1 = copy or run. The last control word is padded
//   with zero bits on the right.
//
//   literal  1 byte  the byte itself
//   copy     2 bytes big-endian offset*16 + (length-3); offset 1..4095 counted
//                    back from the current output position, length 3..18
//   run      4 bytes 0x00, big-endian (count-16), the byte to repeat;
//                    count 16..4095. A run is told from a copy by its offset
//                    field (the upper 12 bits of the first two bytes) being 0.
//
// The compressor is deterministic: same input, same bytes. At each position
// it tries, in this order, a run of 16 or more equal bytes, then the single
// candidate remembered for the hash of the next three bytes (4096 slots, no
// chains; the slot is overwritten with the current position whether or not
// it matched), then a literal. A block whose items would not be shorter than
// its input is stored instead.
//
// Safety promise of DecompressBlock: it reads only in[0, inLength) and writes
// only out[0, kBlockBufferSize); any input that would need more than
// kBlockSize bytes of output, or bytes beyond inLength, is reported as
// malformed rather than followed.

#include <cstddef>
#include <cstdint>

namespace torvane::compressor {

constexpr size_t kBlockSize = 32768;
// Work buffers are this large: room for a block plus the few bytes the
// compressor may run past the input length before it notices and stores.
constexpr size_t kBlockBufferSize = 32784;
constexpr size_t kHashSlots = 4096;

constexpr uint8_t kFlagCompressed = 64;
constexpr uint8_t kFlagStored = 128;

constexpr size_t kMaxCopyOffset = 4095;
constexpr size_t kMinCopyLength = 3;
constexpr size_t kMaxCopyLength = 18;
constexpr size_t kMinRunLength = 16;
constexpr size_t kMaxRunLength = 4095;

// Compresses in[0, length) (length <= kBlockSize) into out, which must hold
// kBlockBufferSize bytes; hashTable must hold kHashSlots entries (its content
// on entry does not matter). Returns the block data length (flag included).
size_t CompressBlock(const uint8_t* in, size_t length, uint8_t* out, int32_t* hashTable) noexcept;

// Decodes one block of data in[0, inLength) into out, which must hold
// kBlockBufferSize bytes (copies are done in whole chunks and may touch the
// slack after the bytes produced). Returns the number of bytes produced, or
// -1 when the data is malformed:
// an unknown flag, an item cut off by the end of the block, a copy reaching
// before the block's start, more than kBlockSize bytes of output, or control
// bits after the last item that are not the zero padding.
std::ptrdiff_t DecompressBlock(const uint8_t* in, size_t inLength, uint8_t* out) noexcept;

} // namespace torvane::compressor
