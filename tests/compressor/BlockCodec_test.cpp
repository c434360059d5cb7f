#include "compressor/BlockCodec.h"

#include "TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace torvane::compressor;
using namespace torvane::compressor_test;

namespace {

Bytes Compress(const Bytes& in) {
    Bytes out(kBlockBufferSize);
    std::vector<int32_t> table(kHashSlots);
    out.resize(CompressBlock(in.data(), in.size(), out.data(), table.data()));
    return out;
}

// Decodes block data; false marks data the decoder rejected.
std::pair<bool, Bytes> Decompress(const Bytes& block) {
    Bytes out(kBlockBufferSize);
    std::ptrdiff_t n = DecompressBlock(block.data(), block.size(), out.data());
    if (n < 0) return {false, {}};
    out.resize(static_cast<size_t>(n));
    return {true, out};
}

Bytes Text(const char* s) {
    return Bytes(s, s + std::strlen(s));
}

} // namespace

TEST(BlockCodec, ItemsAreWrittenExactlyAsTheFormatSays) {
    // A run of 100: flag, control word 0x8000, run item 00 00 54 byte.
    EXPECT_EQ(Compress(Bytes(100, 'x')), (Bytes{0x40, 0x80, 0x00, 0x00, 0x00, 0x54, 'x'}));

    // Four literals, then one copy reaching 4 back for 8 bytes (it overlaps
    // the bytes it produces): value 4*16 + (8-3) = 0x45.
    EXPECT_EQ(Compress(Text("abcdabcdabcd")), (Bytes{0x40, 0x08, 0x00, 'a', 'b', 'c', 'd', 0x00, 0x45}));

    // Runs stop at 4095; the rest of the run becomes a second run item.
    EXPECT_EQ(Compress(Bytes(5000, 7)), (Bytes{0x40, 0xC0, 0x00, 0x00, 0x0F, 0xEF, 7, 0x00, 0x03, 0x79, 7}));
}

TEST(BlockCodec, RunsShorterThanSixteenBecomeCopies) {
    // "a" then 15 more: the run check fails, 'a' is a literal, then a copy of
    // distance 1 for the remaining 14 bytes repeats it.
    Bytes in(15, 'a');
    in.push_back('b');
    in.insert(in.end(), 20, 'c');
    Bytes block = Compress(in);
    EXPECT_EQ(block[0], kFlagCompressed);
    EXPECT_EQ(block[3], 'a');
    EXPECT_EQ(block[4], 0x00); // copy: offset 1, length 14 -> 0x001B
    EXPECT_EQ(block[5], 0x1B);
    EXPECT_EQ(Decompress(block).second, in);
}

TEST(BlockCodec, ControlWordsFollowEverySixteenItemsAndTheLastIsLeftAligned) {
    // 17 distinct literals: control 0x0000, 16 bytes, control 0x0000, 1 byte.
    Bytes in;
    for (int i = 0; i < 17; ++i)
        in.push_back(static_cast<uint8_t>('A' + i));
    in.insert(in.end(), 40, 'z'); // keeps the block shorter than its input
    Bytes block = Compress(in);
    ASSERT_EQ(block[0], kFlagCompressed);
    EXPECT_EQ(block[1], 0x00);
    EXPECT_EQ(block[2], 0x00);
    EXPECT_EQ(block[19], 0x40); // second control word: literal 'Q', then the run, left-aligned
    EXPECT_EQ(block[20], 0x00);
    EXPECT_EQ(block[21], 'Q');
    EXPECT_EQ(Decompress(block).second, in);
}

TEST(BlockCodec, InputThatDoesNotShrinkIsStored) {
    Bytes noise = RandomBytes(1000, 1);
    Bytes block = Compress(noise);
    ASSERT_EQ(block.size(), 1001u);
    EXPECT_EQ(block[0], kFlagStored);
    EXPECT_TRUE(std::equal(noise.begin(), noise.end(), block.begin() + 1));

    EXPECT_EQ(Compress({}), Bytes{kFlagStored});
    EXPECT_EQ(Compress(Text("abc")), (Bytes{kFlagStored, 'a', 'b', 'c'}));
}

TEST(BlockCodec, RoundTripsEveryKindOfInputAndBlockLength) {
    for (size_t n :
         {size_t{1}, size_t{2}, size_t{17}, size_t{4096}, size_t{4097}, size_t{20000}, kBlockSize}) {
        for (const Bytes& in : {RandomBytes(n, 2), AssemblerText(n, 3), RunHeavy(n, 4)}) {
            auto [ok, out] = Decompress(Compress(in));
            ASSERT_TRUE(ok) << n;
            ASSERT_EQ(out, in) << n;
        }
    }
}

TEST(BlockCodec, CopiesNeverReachFartherThan4095Back) {
    // The same 64 bytes twice, 4200 bytes apart with noise between: too far
    // for a copy, so the second occurrence must be literals.
    Bytes pattern = RandomBytes(64, 5);
    Bytes in = pattern;
    Bytes gap = RandomBytes(4200 - 64, 6);
    in.insert(in.end(), gap.begin(), gap.end());
    in.insert(in.end(), pattern.begin(), pattern.end());
    in.insert(in.end(), 8000, 0); // lets the block stay compressed
    Bytes block = Compress(in);
    ASSERT_EQ(block[0], kFlagCompressed);
    EXPECT_EQ(Decompress(block).second, in);
}

TEST(BlockCodec, DamagedBlocksAreRejectedNotFollowed) {
    // Short stored blocks are empty.
    EXPECT_EQ(Decompress({}), (std::pair<bool, Bytes>{true, {}}));
    EXPECT_EQ(Decompress({kFlagStored}), (std::pair<bool, Bytes>{true, {}}));

    EXPECT_FALSE(Decompress({0x41, 0, 0, 'a'}).first) << "unknown flag";
    EXPECT_FALSE(Decompress({0x40, 0x00}).first) << "control word cut off";
    EXPECT_FALSE(Decompress({0x40, 0x80, 0x00, 0x00}).first) << "copy cut off";
    EXPECT_FALSE(Decompress({0x40, 0x80, 0x00, 0x00, 0x00, 0x54}).first) << "run cut off";
    EXPECT_FALSE(Decompress({0x40, 0x40, 0x00, 'a', 0x00, 0x20}).first) << "copy from before the block";
    // Nine runs of 4095+16 bytes exceed one block.
    Bytes tooLong{0x40, 0xFF, 0x80};
    for (int i = 0; i < 9; ++i)
        tooLong.insert(tooLong.end(), {0x00, 0x0F, 0xFF, 1});
    EXPECT_FALSE(Decompress(tooLong).first) << "more than a block of output";
    Bytes storedTooLong(kBlockSize + 2, 0);
    storedTooLong[0] = kFlagStored;
    EXPECT_FALSE(Decompress(storedTooLong).first);
}
