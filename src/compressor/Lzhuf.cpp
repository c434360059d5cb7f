#include "compressor/Lzhuf.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <array>
#include <cstring>
#include <memory>
#include <new>

namespace torvane::compressor {

namespace lzhuf {
// A canonical prefix code: 1 code of 3 bits, 3 of 4, 8 of 5, 12 of 6, 24 of 7
// and 16 of 8, shorter codes for nearer positions.
const uint8_t kPositionCode[64] = {
    0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80, 0x88, 0x90, 0x94, 0x98, 0x9C,
    0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE,
    0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE, 0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};
const uint8_t kPositionLength[64] = {3, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,
                                     6, 6, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
                                     7, 7, 7, 7, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
} // namespace lzhuf

using namespace lzhuf;

namespace {

constexpr int kWindowMask = kWindowSize - 1;
constexpr int kStartPosition = kWindowSize - kLookAhead; // 4036
constexpr int kNil = kWindowSize;                        // "no node" in the match trees

// For the decoder: which upper-6-bit value a byte of code starts with, and
// how many bits that code has. Derived from the encoder's table so the two
// cannot disagree.
struct PositionDecodeTable {
    uint8_t upper[256];
    uint8_t length[256];
    PositionDecodeTable() {
        for (int b = 0; b < 256; ++b) {
            for (int p = 0; p < 64; ++p) {
                int shift = 8 - kPositionLength[p];
                if ((b >> shift) == (kPositionCode[p] >> shift)) {
                    upper[b] = static_cast<uint8_t>(p);
                    length[b] = kPositionLength[p];
                    break;
                }
            }
        }
    }
};
const PositionDecodeTable kPositionDecode;

// The adaptive Huffman tree. Nodes are kept in order of frequency (the
// sibling property); son_[n] is the smaller child of an inner node (the
// larger is son_[n] + 1) or kTreeSize + symbol for a leaf; prnt_ maps nodes
// and, from kTreeSize on, leaves back to their parent.
class TAdaptiveHuffman {
public:
    TAdaptiveHuffman() {
        for (int i = 0; i < kSymbolCount; ++i) {
            freq_[i] = 1;
            son_[i] = i + kTreeSize;
            prnt_[i + kTreeSize] = i;
        }
        for (int i = 0, j = kSymbolCount; j <= kRoot; i += 2, ++j) {
            freq_[j] = freq_[i] + freq_[i + 1];
            son_[j] = i;
            prnt_[i] = prnt_[i + 1] = j;
        }
        freq_[kTreeSize] = 0xFFFF; // sentinel that stops the reordering scan
        prnt_[kRoot] = 0;
    }

    // The code of a symbol: its bits (the root's choice most significant)
    // and their count.
    void CodeOf(int symbol, uint64_t& code, int& length) const {
        code = 0;
        length = 0;
        int k = prnt_[symbol + kTreeSize];
        do {
            code |= static_cast<uint64_t>(k & 1) << length;
            ++length;
        } while ((k = prnt_[k]) != kRoot);
    }

    template <class BitSource> int Decode(BitSource& bits) {
        int c = son_[kRoot];
        while (c < kTreeSize)
            c = son_[c + static_cast<int>(bits.Get(1))];
        return c - kTreeSize;
    }

    void Update(int symbol) {
        if (freq_[kRoot] == kMaxFrequency) Rebuild();
        int c = prnt_[symbol + kTreeSize];
        do {
            uint32_t k = ++freq_[c];
            int l = c + 1;
            if (k > freq_[l]) {
                // Swap c with the last node of the same old frequency.
                while (k > freq_[++l]) {
                }
                --l;
                freq_[c] = freq_[l];
                freq_[l] = k;

                int i = son_[c];
                prnt_[i] = l;
                if (i < kTreeSize) prnt_[i + 1] = l;
                int j = son_[l];
                son_[l] = i;
                prnt_[j] = c;
                if (j < kTreeSize) prnt_[j + 1] = c;
                son_[c] = j;
                c = l;
            }
        } while ((c = prnt_[c]) != 0);
    }

private:
    void Rebuild() {
        int j = 0;
        for (int i = 0; i < kTreeSize; ++i) {
            if (son_[i] >= kTreeSize) {
                freq_[j] = (freq_[i] + 1) / 2;
                son_[j] = son_[i];
                ++j;
            }
        }
        for (int i = 0, n = kSymbolCount; n < kTreeSize; i += 2, ++n) {
            uint32_t f = freq_[i] + freq_[i + 1];
            int k = n - 1;
            while (f < freq_[k])
                --k;
            ++k;
            std::memmove(&freq_[k + 1], &freq_[k], sizeof(freq_[0]) * static_cast<size_t>(n - k));
            freq_[k] = f;
            std::memmove(&son_[k + 1], &son_[k], sizeof(son_[0]) * static_cast<size_t>(n - k));
            son_[k] = i;
        }
        for (int i = 0; i < kTreeSize; ++i) {
            int k = son_[i];
            if (k >= kTreeSize) {
                prnt_[k] = i;
            } else {
                prnt_[k] = prnt_[k + 1] = i;
            }
        }
    }

    uint32_t freq_[kTreeSize + 1];
    int prnt_[kTreeSize + kSymbolCount];
    int son_[kTreeSize];
};

class TBitWriter {
public:
    explicit TBitWriter(TOutputBuffer& out) : out_(out) {}
    // Writes the low `length` bits of value, most significant first.
    void Put(uint64_t value, int length) {
        while (length > 0) {
            int take = length > 24 ? 24 : length;
            length -= take;
            acc_ = acc_ << take | ((value >> length) & ((uint64_t{1} << take) - 1));
            count_ += take;
            while (count_ >= 8) {
                count_ -= 8;
                out_.Put(static_cast<uint8_t>(acc_ >> count_));
            }
        }
    }
    void Finish() {
        if (count_ > 0) out_.Put(static_cast<uint8_t>(acc_ << (8 - count_)));
        count_ = 0;
    }

private:
    TOutputBuffer& out_;
    uint64_t acc_ = 0;
    int count_ = 0;
};

class TBitReader {
public:
    explicit TBitReader(TInputBuffer& in) : in_(in) {}
    // The next `length` (1..8) bits. Running out of input is an error: a
    // well-formed payload always holds every bit the decoder asks for.
    uint32_t Get(int length) {
        while (count_ < length) {
            int b = in_.Get();
            if (b < 0) throw ECompressorException(LoadStr(msg::SCompressorReadErrorLzh));
            acc_ = acc_ << 8 | static_cast<uint32_t>(b);
            count_ += 8;
        }
        count_ -= length;
        return (acc_ >> count_) & ((1u << length) - 1);
    }
    // The bits of the last byte not yet taken: the encoder pads with zeros.
    bool RestIsPadding() const noexcept { return (acc_ & ((1u << count_) - 1)) == 0; }

private:
    TInputBuffer& in_;
    uint32_t acc_ = 0;
    int count_ = 0;
};

// The encoder's dictionary: one binary search tree of window positions per
// first byte, ordered by the 60 bytes that start there.
class TMatchFinder {
public:
    uint8_t text[kWindowSize + kLookAhead - 1];
    int matchPosition = 0;
    int matchLength = 0;

    TMatchFinder() {
        // Comparisons near the end of the input look at bytes no input has
        // filled yet; zeros keep the chosen match positions reproducible.
        std::memset(text, 0, sizeof text);
        for (int i = kWindowSize + 1; i <= kWindowSize + 256; ++i)
            rson_[i] = kNil;
        for (int i = 0; i < kWindowSize; ++i)
            dad_[i] = kNil;
    }

    void Insert(int r) {
        int cmp = 1;
        const uint8_t* key = &text[r];
        int p = kWindowSize + 1 + key[0];
        rson_[r] = lson_[r] = kNil;
        matchLength = 0;
        for (;;) {
            if (cmp >= 0) {
                if (rson_[p] != kNil) {
                    p = rson_[p];
                } else {
                    rson_[p] = r;
                    dad_[r] = p;
                    return;
                }
            } else {
                if (lson_[p] != kNil) {
                    p = lson_[p];
                } else {
                    lson_[p] = r;
                    dad_[r] = p;
                    return;
                }
            }
            int i = 1;
            for (; i < kLookAhead; ++i) {
                if ((cmp = key[i] - text[p + i]) != 0) break;
            }
            if (i > kThreshold) {
                int distance = ((r - p) & kWindowMask) - 1;
                if (i > matchLength) {
                    matchPosition = distance;
                    if ((matchLength = i) >= kLookAhead) break;
                } else if (i == matchLength && distance < matchPosition) {
                    matchPosition = distance;
                }
            }
        }
        // A full-length match: r takes p's place in the tree.
        dad_[r] = dad_[p];
        lson_[r] = lson_[p];
        rson_[r] = rson_[p];
        dad_[lson_[p]] = r;
        dad_[rson_[p]] = r;
        if (rson_[dad_[p]] == p) {
            rson_[dad_[p]] = r;
        } else {
            lson_[dad_[p]] = r;
        }
        dad_[p] = kNil;
    }

    void Delete(int p) {
        if (dad_[p] == kNil) return;
        int q;
        if (rson_[p] == kNil) {
            q = lson_[p];
        } else if (lson_[p] == kNil) {
            q = rson_[p];
        } else {
            q = lson_[p];
            if (rson_[q] != kNil) {
                do {
                    q = rson_[q];
                } while (rson_[q] != kNil);
                rson_[dad_[q]] = lson_[q];
                dad_[lson_[q]] = dad_[q];
                lson_[q] = lson_[p];
                dad_[lson_[p]] = q;
            }
            rson_[q] = rson_[p];
            dad_[rson_[p]] = q;
        }
        dad_[q] = dad_[p];
        if (rson_[dad_[p]] == p) {
            rson_[dad_[p]] = q;
        } else {
            lson_[dad_[p]] = q;
        }
        dad_[p] = kNil;
    }

private:
    // Index kWindowSize is the shared "nil" node; the 256 tree roots sit
    // above it in rson_.
    int lson_[kWindowSize + 1];
    int rson_[kWindowSize + 257];
    int dad_[kWindowSize + 1];
};

template <class T> std::unique_ptr<T> AllocateTables() {
    try {
        return std::make_unique<T>();
    } catch (const std::bad_alloc&) {
        throw ElzhException(LoadStr(msg::SLzhNoMemory));
    }
}

void EncodeSymbol(TAdaptiveHuffman& tree, TBitWriter& bits, int symbol) {
    uint64_t code;
    int length;
    tree.CodeOf(symbol, code, length);
    bits.Put(code, length);
    tree.Update(symbol);
}

void EncodePosition(TBitWriter& bits, int position) {
    int upper = position >> 6;
    bits.Put(kPositionCode[upper] >> (8 - kPositionLength[upper]), kPositionLength[upper]);
    bits.Put(static_cast<uint64_t>(position & 0x3F), 6);
}

int DecodePosition(TBitReader& bits) {
    uint32_t first = bits.Get(8);
    int extra = kPositionDecode.length[first] - 2;
    uint32_t low = (first << extra | bits.Get(extra)) & 0x3F;
    return kPositionDecode.upper[first] << 6 | static_cast<int>(low);
}

} // namespace

void LzhufEncode(TInputBuffer& in, TOutputBuffer& out) {
    auto tree = AllocateTables<TAdaptiveHuffman>();
    auto finder = AllocateTables<TMatchFinder>();
    TBitWriter bits(out);
    uint8_t* text = finder->text;

    int s = 0;
    int r = kStartPosition;
    std::memset(text, ' ', static_cast<size_t>(r));
    int len = 0;
    for (int c; len < kLookAhead && (c = in.Get()) >= 0; ++len)
        text[r + len] = static_cast<uint8_t>(c);
    if (len == 0) return;
    for (int i = 1; i <= kLookAhead; ++i)
        finder->Insert(r - i);
    finder->Insert(r);

    do {
        if (finder->matchLength > len) finder->matchLength = len;
        if (finder->matchLength <= kThreshold) {
            finder->matchLength = 1;
            EncodeSymbol(*tree, bits, text[r]);
        } else {
            EncodeSymbol(*tree, bits, 255 - kThreshold + finder->matchLength);
            EncodePosition(bits, finder->matchPosition);
        }
        const int lastMatchLength = finder->matchLength;
        int i = 0;
        for (int c; i < lastMatchLength && (c = in.Get()) >= 0; ++i) {
            finder->Delete(s);
            text[s] = static_cast<uint8_t>(c);
            // The first 59 window bytes are mirrored past its end so that
            // comparisons never need to wrap.
            if (s < kLookAhead - 1) text[s + kWindowSize] = static_cast<uint8_t>(c);
            s = (s + 1) & kWindowMask;
            r = (r + 1) & kWindowMask;
            finder->Insert(r);
        }
        while (i++ < lastMatchLength) {
            finder->Delete(s);
            s = (s + 1) & kWindowMask;
            r = (r + 1) & kWindowMask;
            if (--len) finder->Insert(r);
        }
    } while (len > 0);
    bits.Finish();
}

int64_t LzhufDecode(TInputBuffer& in, TOutputBuffer& out, int64_t size) {
    auto tree = AllocateTables<TAdaptiveHuffman>();
    auto window = AllocateTables<std::array<uint8_t, kWindowSize>>();
    uint8_t* text = window->data();
    std::memset(text, ' ', kStartPosition);
    std::memset(text + kStartPosition, 0, kWindowSize - kStartPosition);
    TBitReader bits(in);

    int r = kStartPosition;
    int64_t count = 0;
    while (count < size) {
        int c = tree->Decode(bits);
        tree->Update(c);
        if (c < 256) {
            out.Put(static_cast<uint8_t>(c));
            text[r] = static_cast<uint8_t>(c);
            r = (r + 1) & kWindowMask;
            ++count;
        } else {
            int from = (r - DecodePosition(bits) - 1) & kWindowMask;
            int length = c - 255 + kThreshold;
            for (int k = 0; k < length; ++k) {
                uint8_t b = text[(from + k) & kWindowMask];
                if (count + k < size) out.Put(b); // a damaged stream may overshoot the size
                text[r] = b;
                r = (r + 1) & kWindowMask;
            }
            count += length;
        }
    }
    // Set bits after the last symbol mean the stream was not what the
    // encoder wrote; the caller treats a wrong count as damage.
    if (!bits.RestIsPadding()) return -1;
    return count;
}

} // namespace torvane::compressor
