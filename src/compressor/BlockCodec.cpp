#include "compressor/BlockCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace torvane::compressor {
namespace {

// The hash of the three bytes at p: multiply, drop the low 4 bits, keep 12.
// Only bits 4..15 of the 32-bit product survive, so signed and unsigned
// arithmetic give the same slot.
inline uint32_t HashSlot(const uint8_t* p) noexcept {
    uint32_t key = ((static_cast<uint32_t>(p[0]) << 4 ^ p[1]) << 4) ^ p[2];
    return ((key * 40543u) >> 4) & (kHashSlots - 1);
}

inline uint64_t Load64(const uint8_t* p) noexcept {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// How many of the first `limit` bytes at a and b agree, whole words first;
// a and b may overlap.
inline size_t MatchLength(const uint8_t* a, const uint8_t* b, size_t limit) noexcept {
    size_t len = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; len + 8 <= limit; len += 8) {
            uint64_t diff = Load64(a + len) ^ Load64(b + len);
            if (diff != 0) return len + static_cast<size_t>(std::countr_zero(diff)) / 8;
        }
    }
    while (len < limit && a[len] == b[len])
        ++len;
    return len;
}

inline void PutBigEndian16(uint8_t* p, uint32_t v) noexcept {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

} // namespace

size_t CompressBlock(const uint8_t* in, size_t length, uint8_t* out, int32_t* hashTable) noexcept {
    std::fill(hashTable, hashTable + kHashSlots, -1);
    out[0] = kFlagCompressed;
    size_t controlAt = 1;
    size_t o = 3;
    uint32_t control = 0;
    unsigned items = 0;
    size_t i = 0;

    // The loop may overshoot `length` by at most one control word and one
    // run item before the test below stops it, which the buffer's slack holds.
    while (i < length && o <= length) {
        if (items == 16) {
            PutBigEndian16(out + controlAt, control);
            controlAt = o;
            o += 2;
            control = 0;
            items = 0;
        }
        ++items;
        const uint8_t current = in[i];

        const size_t runLimit = std::min(length, i + kMaxRunLength);
        size_t runEnd = i + 1;
        while (runEnd < runLimit && in[runEnd] == current)
            ++runEnd;
        const size_t run = runEnd - i;
        if (run >= kMinRunLength) {
            out[o] = 0;
            PutBigEndian16(out + o + 1, static_cast<uint32_t>(run - kMinRunLength));
            out[o + 3] = current;
            o += 4;
            i += run;
            control = control << 1 | 1;
            continue;
        }

        if (i + kMinCopyLength <= length) {
            uint32_t slot = HashSlot(in + i);
            int32_t candidate = hashTable[slot];
            hashTable[slot] = static_cast<int32_t>(i);
            if (candidate >= 0 && i - static_cast<size_t>(candidate) <= kMaxCopyOffset) {
                const size_t len = MatchLength(in + candidate, in + i, std::min(kMaxCopyLength, length - i));
                if (len >= kMinCopyLength) {
                    const size_t offset = i - static_cast<size_t>(candidate);
                    PutBigEndian16(out + o, static_cast<uint32_t>(offset << 4 | (len - kMinCopyLength)));
                    o += 2;
                    i += len;
                    control = control << 1 | 1;
                    continue;
                }
            }
        }

        out[o++] = current;
        ++i;
        control <<= 1;
    }

    if (o > length) {
        out[0] = kFlagStored;
        if (length != 0) std::memcpy(out + 1, in, length);
        return length + 1;
    }
    PutBigEndian16(out + controlAt, control << (16 - items));
    return o;
}

std::ptrdiff_t DecompressBlock(const uint8_t* in, size_t inLength, uint8_t* out) noexcept {
    if (inLength == 0) return 0;
    if (in[0] == kFlagStored) {
        const size_t n = inLength - 1;
        if (n > kBlockSize) return -1;
        if (n != 0) std::memcpy(out, in + 1, n);
        return static_cast<std::ptrdiff_t>(n);
    }
    if (in[0] != kFlagCompressed) return -1;

    size_t ip = 1;
    size_t op = 0;
    uint32_t control = 0; // the unread control bits, at the top of the word
    unsigned bitsLeft = 0;
    while (ip < inLength) {
        if (bitsLeft == 0) {
            if (inLength - ip < 2) return -1;
            control = (static_cast<uint32_t>(in[ip]) << 8 | in[ip + 1]) << 16;
            ip += 2;
            bitsLeft = 16;
            continue; // a control word may end the block (never written, but harmless)
        }

        // All literals up to the next copy or run in one go. The zero bits
        // that pad the last control word read as literals too; the end of
        // the block data stops them.
        size_t literals = std::min<size_t>(static_cast<size_t>(std::countl_zero(control)), bitsLeft);
        literals = std::min(literals, inLength - ip);
        if (literals > kBlockSize - op) return -1;
        std::memcpy(out + op, in + ip, literals);
        op += literals;
        ip += literals;
        bitsLeft -= static_cast<unsigned>(literals);
        control <<= literals;
        if (bitsLeft == 0 || ip == inLength) continue;

        // A copy or run item.
        --bitsLeft;
        control <<= 1;
        if (inLength - ip < 2) return -1;
        const uint32_t b0 = in[ip];
        const uint32_t b1 = in[ip + 1];
        const size_t offset = b0 << 4 | b1 >> 4;
        if (offset == 0) {
            if (inLength - ip < 4) return -1;
            const size_t count = ((b1 << 8) | in[ip + 2]) + kMinRunLength;
            if (count > kBlockSize - op) return -1;
            std::memset(out + op, in[ip + 3], count);
            op += count;
            ip += 4;
            continue;
        }
        const size_t len = (b1 & 15) + kMinCopyLength;
        ip += 2;
        if (offset > op || len > kBlockSize - op) return -1;
        uint8_t* dst = out + op;
        const uint8_t* src = dst - offset;
        if (offset >= 16) {
            // No overlap within 16 bytes: copy whole chunks. The first chunk
            // may write up to 13 bytes past the copy, inside the buffer slack.
            std::memcpy(dst, src, 16);
            if (len > 16) std::memcpy(dst + 16, src + 16, 2);
        } else {
            // The copy overlaps the bytes it produces: byte by byte.
            for (size_t k = 0; k < len; ++k)
                dst[k] = src[k];
        }
        op += len;
    }
    // Control bits left over must be the zero padding: a set bit announces
    // a copy or run that the block does not hold, so the block is damaged.
    if (bitsLeft != 0 && (control >> (32 - bitsLeft)) != 0) return -1;
    return static_cast<std::ptrdiff_t>(op);
}

} // namespace torvane::compressor
