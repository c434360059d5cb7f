#include "compressor/Compressor.h"
#include "compressor/Lzhuf.h"

#include "TestData.h"

#include <gtest/gtest.h>

using namespace torvane;
using namespace torvane::compressor;
using namespace torvane::compressor_test;

namespace {

Bytes Encode(const Bytes& in) {
    TMemoryStream src(in);
    TMemoryStream dst;
    TInputBuffer ib(src, 1000);
    TOutputBuffer ob(dst, 1000);
    LzhufEncode(ib, ob);
    ob.Flush();
    return dst.Bytes();
}

Bytes Decode(const Bytes& payload, int64_t size) {
    TMemoryStream src(payload);
    TMemoryStream dst;
    TInputBuffer ib(src, 1000);
    TOutputBuffer ob(dst, 1000);
    EXPECT_EQ(LzhufDecode(ib, ob, size), size);
    ob.Flush();
    return dst.Bytes();
}

} // namespace

TEST(Lzhuf, PositionCodeIsACompleteCanonicalPrefixCode) {
    // Each code is the previous one plus one, extended with zeros when the
    // length grows; together they use up the whole code space exactly.
    uint32_t next = 0;
    int previousLength = lzhuf::kPositionLength[0];
    uint32_t kraft = 0; // in units of 2^-8
    for (int p = 0; p < 64; ++p) {
        int len = lzhuf::kPositionLength[p];
        ASSERT_GE(len, previousLength);
        next <<= len - previousLength;
        previousLength = len;
        EXPECT_EQ(lzhuf::kPositionCode[p] >> (8 - len), next) << p;
        ++next;
        kraft += 1u << (8 - len);
    }
    EXPECT_EQ(kraft, 256u);
}

// Hand-derived from the initial tree, in which node n's parent is
// 314 + n / 2: 'A' (leaf 65) has the 9-bit code 111001101, and the symbol
// for a match of 10 (leaf 263) the 8-bit code 10010011.
TEST(Lzhuf, FirstSymbolsMatchTheHandDerivedCodes) {
    EXPECT_EQ(Encode({'A'}), (Bytes{0xE6, 0x80}));
    EXPECT_EQ(Decode({0xE6, 0x80}, 1), (Bytes{'A'}));
    // Match of 10 at distance 1 (position 0: code 000 and six zero bits),
    // copied out of the blanks the window starts with.
    EXPECT_EQ(Decode({0x93, 0x00, 0x00}, 10), Bytes(10, ' '));
}

TEST(Lzhuf, TheWindowStartsWithBlanks) {
    // Blanks at the start are one match into the pre-filled window.
    EXPECT_EQ(Encode(Bytes(60, ' ')).size(), 3u);
    Bytes in(60, ' ');
    in.push_back('x');
    EXPECT_EQ(Decode(Encode(in), 61), in);
}

TEST(Lzhuf, RoundTripsThroughTreeRebuildsAndFullLengthMatches) {
    // 200 KB of noise is ~200000 literal symbols: several rebuilds at 32768.
    // Byte k drawn with probability about 2^-k: a lopsided, deep tree.
    Bytes skewed;
    std::mt19937 gen(95);
    for (int i = 0; i < 300000; ++i) {
        uint8_t k = 0;
        while (k < 40 && (gen() & 1))
            ++k;
        skewed.push_back(static_cast<uint8_t>(k * 37));
    }
    for (const Bytes& in : {RandomBytes(200000, 91), AssemblerText(150000, 92), RunHeavy(120000, 93), skewed,
                            Bytes(10000, 0), Bytes{1, 2, 3}}) {
        ASSERT_EQ(Decode(Encode(in), static_cast<int64_t>(in.size())), in) << in.size();
    }
}

TEST(Lzhuf, PacksTextTighterThanTheBlockCodec) {
    Bytes text = AssemblerText(100000, 94);
    size_t lzh = Encode(text).size();
    TMemoryStream src(text), dst;
    TCompressor c;
    c.SetInputStream(&src);
    c.SetOutputStream(&dst);
    c.Compress();
    EXPECT_LT(lzh, static_cast<size_t>(dst.Size()));
    EXPECT_LT(lzh, text.size() / 3);
}
