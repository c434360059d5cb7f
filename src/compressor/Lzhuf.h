#pragma once
// The LZHUF codec of the compressor (marker "!HZL"): LZSS over a 4096-byte
// window whose literals and match lengths are coded with an adaptive Huffman
// tree.
//
//   window        4096 bytes, initially blanks (32) at 0..4035; the first
//                 input byte goes to position 4036
//   look-ahead    60 bytes; matches of 3..60 bytes (threshold 2)
//   symbols       314: bytes 0..255, then match lengths 3..60 as 256..313
//   tree          627 nodes, every symbol starts with frequency 1; when the
//                 root's frequency reaches 32768 all leaf frequencies are
//                 halved (rounding up) and the tree is rebuilt
//   position      match distance minus one (0..4095): its upper 6 bits through
//                 the fixed prefix code of kPositionCode/kPositionLength, then
//                 the lower 6 bits plain
//   bits          most significant first; the last byte is padded with zeros
//
// The payload carries no length of its own: the caller knows the original
// size from the stream header and the decoder stops when it has produced it.
//
// Safety promise of LzhufDecode: the window is indexed modulo its size, so no
// input can make the decoder read or write outside its tables; a payload that
// ends before the stated size has been produced raises ECompressorException
// "Compressor : Error reading from input stream ! (LZH)". A damaged stream
// whose last match runs past the stated size is cut at that size and the
// returned count shows the overshoot, which the caller reports as a size
// mismatch.

#include "compressor/StreamBuffers.h"

#include <cstdint>

namespace torvane::compressor {

namespace lzhuf {
constexpr int kWindowSize = 4096;
constexpr int kLookAhead = 60;
constexpr int kThreshold = 2;
constexpr int kSymbolCount = 256 - kThreshold + kLookAhead; // 314
constexpr int kTreeSize = kSymbolCount * 2 - 1;             // 627
constexpr int kRoot = kTreeSize - 1;
constexpr uint32_t kMaxFrequency = 0x8000;

// Prefix code of the upper 6 bits of a match position: code bits
// left-aligned in a byte, and their count.
extern const uint8_t kPositionCode[64];
extern const uint8_t kPositionLength[64];
} // namespace lzhuf

// Encodes every remaining byte of in as an LZHUF bit stream into out.
// Raises ElzhException when the tables cannot be allocated.
void LzhufEncode(TInputBuffer& in, TOutputBuffer& out);

// Decodes from in until at least size symbols' worth of bytes have been
// produced, writes at most size of them to out and returns the number
// produced (see the safety promise above), or -1 when the bits after the last
// symbol are not the encoder's zero padding. Raises
// ElzhException when the tables cannot be allocated.
int64_t LzhufDecode(TInputBuffer& in, TOutputBuffer& out, int64_t size);

} // namespace torvane::compressor
