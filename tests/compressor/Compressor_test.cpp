#include "compressor/Compressor.h"

#include "TestData.h"
#include "common/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

using namespace torvane;
using namespace torvane::compressor_test;

namespace {

Bytes Pack(const Bytes& in, TCompressor::Method method = TCompressor::Method::Block) {
    TMemoryStream src(in);
    TMemoryStream dst;
    TCompressor c;
    c.SetMethod(method);
    c.SetInputStream(&src);
    c.SetOutputStream(&dst);
    c.Compress();
    return dst.Bytes();
}

Bytes Unpack(const Bytes& packed) {
    TMemoryStream src(packed);
    TMemoryStream dst;
    TCompressor c;
    c.SetInputStream(&src);
    c.SetOutputStream(&dst);
    c.Decompress();
    return dst.Bytes();
}

// The message of the ECompressorException that unpacking raises.
std::string UnpackError(const Bytes& packed) {
    try {
        Unpack(packed);
    } catch (const ECompressorException& e) {
        return e.what();
    }
    return "(no error)";
}

Bytes Header(const char* marker, int32_t size) {
    Bytes h(marker, marker + 4);
    for (int i = 0; i < 4; ++i)
        h.push_back(static_cast<uint8_t>(static_cast<uint32_t>(size) >> (8 * i)));
    return h;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A stream that cannot tell its position, or its size, or accept bytes.
class TBrokenStream final : public TStream {
public:
    bool badPosition = false;
    bool badSize = false;
    size_t writeRoom = SIZE_MAX;
    TMemoryStream inner;

    size_t Read(void* b, size_t n) override { return inner.Read(b, n); }
    size_t Write(const void* b, size_t n) override {
        n = std::min(n, writeRoom);
        writeRoom -= n;
        return inner.Write(b, n);
    }
    int64_t Seek(int64_t o, SeekOrigin w) override { return badPosition ? -1 : inner.Seek(o, w); }
    int64_t Size() const override { return badSize ? -1 : inner.Size(); }
    void SetSize(int64_t s) override { inner.SetSize(s); }
};

// A stream that claims more bytes than it can deliver.
class TShortStream final : public TStream {
public:
    explicit TShortStream(Bytes b) : inner(std::move(b)) {}
    TMemoryStream inner;
    size_t Read(void* b, size_t n) override { return inner.Read(b, n); }
    size_t Write(const void* b, size_t n) override { return inner.Write(b, n); }
    int64_t Seek(int64_t o, SeekOrigin w) override { return inner.Seek(o, w); }
    int64_t Size() const override { return inner.Size() + 10; }
    void SetSize(int64_t s) override { inner.SetSize(s); }
};

std::string CompressError(TStream* in, TStream* out,
                          TCompressor::Method method = TCompressor::Method::Block) {
    TCompressor c;
    c.SetMethod(method);
    c.SetInputStream(in);
    c.SetOutputStream(out);
    try {
        c.Compress();
    } catch (const ECompressorException& e) {
        return e.what();
    }
    return "(no error)";
}

const std::vector<Bytes>& Samples() {
    static const std::vector<Bytes> samples = {
        {},
        {'a'},
        RandomBytes(70000, 11),
        AssemblerText(100000, 12),
        RunHeavy(90000, 13),
        AssemblerText(32768, 14),
        RunHeavy(65536, 15),
    };
    return samples;
}

} // namespace

TEST(Compressor, EmptyInputIsOneStoredBlockOfNothing) {
    const Bytes expected = {0x57, 0x52, 0x5A, 0x4C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x80};
    EXPECT_EQ(Pack({}), expected);
    EXPECT_TRUE(Unpack(expected).empty());
}

TEST(Compressor, HundredEqualBytesAreOneRunItem) {
    const Bytes expected = Concat(Header("WRZL", 100), {0x07, 0x00, 0x40, 0x80, 0x00, 0x00, 0x00, 0x54, 'x'});
    EXPECT_EQ(Pack(Bytes(100, 'x')), expected);
    EXPECT_EQ(Unpack(expected), Bytes(100, 'x'));
}

TEST(Compressor, AWholeNumberOfBlocksEndsWithAnEmptyBlock) {
    // Eight runs of 4095, then 8 bytes too short for a run: a literal and a
    // copy of 7 from one byte back. Then the block for zero bytes.
    Bytes expected = Concat(Header("WRZL", 32768), {38, 0, 0x40, 0xFF, 0x40});
    for (int i = 0; i < 8; ++i)
        expected = Concat(expected, {0x00, 0x0F, 0xEF, 'q'});
    expected = Concat(expected, {'q', 0x00, 0x14, 0x01, 0x00, 0x80});
    EXPECT_EQ(Pack(Bytes(32768, 'q')), expected);
    EXPECT_EQ(Unpack(expected), Bytes(32768, 'q'));
}

TEST(Compressor, IncompressibleInputIsStoredBlockByBlock) {
    Bytes in = RandomBytes(40000, 21);
    Bytes packed = Pack(in);
    ASSERT_EQ(packed.size(), 8u + (2 + 1 + 32768) + (2 + 1 + 7232));
    EXPECT_EQ(packed[8], 0x01); // 32769 = 0x8001
    EXPECT_EQ(packed[9], 0x80);
    EXPECT_EQ(packed[10], 0x80); // stored
    EXPECT_EQ(packed[8 + 2 + 32769 + 2], 0x80);
    EXPECT_EQ(Unpack(packed), in);
}

TEST(Compressor, BothMethodsAndTheAutomaticChoiceRoundTrip) {
    for (auto method : {TCompressor::Method::Block, TCompressor::Method::Lzhuf, TCompressor::Method::Auto}) {
        for (const Bytes& in : Samples()) {
            Bytes packed = Pack(in, method);
            ASSERT_EQ(Unpack(packed), in) << static_cast<int>(method) << " size " << in.size();
        }
    }
}

TEST(Compressor, SameInputGivesSameBytes) {
    Bytes text = AssemblerText(50000, 31);
    EXPECT_EQ(Pack(text), Pack(text));
    EXPECT_EQ(Pack(text, TCompressor::Method::Lzhuf), Pack(text, TCompressor::Method::Lzhuf));
}

TEST(Compressor, CompressesFromTheCurrentPositionAndRecordsWhatItRead) {
    Bytes all = AssemblerText(5000, 41);
    for (auto method : {TCompressor::Method::Block, TCompressor::Method::Lzhuf}) {
        TMemoryStream src(all);
        src.SetPosition(1000);
        TMemoryStream dst;
        TCompressor c;
        c.SetMethod(method);
        c.SetInputStream(&src);
        c.SetOutputStream(&dst);
        c.Compress();
        EXPECT_EQ(Unpack(dst.Bytes()), Bytes(all.begin() + 1000, all.end()));
    }
}

TEST(Compressor, DecompressionStopsAtTheEndOfTheCompressedData) {
    // Bytes after the compressed data belong to the caller.
    for (auto method : {TCompressor::Method::Block, TCompressor::Method::Lzhuf}) {
        Bytes packed = Pack(AssemblerText(3000, 51), method);
        TMemoryStream src(Concat(packed, {'T', 'A', 'I', 'L'}));
        TMemoryStream dst;
        TCompressor c;
        c.SetInputStream(&src);
        c.SetOutputStream(&dst);
        c.Decompress();
        EXPECT_EQ(src.Position(), static_cast<int64_t>(packed.size()));
    }
}

TEST(Compressor, AdviceFollowsTheThresholdAndKeepsThePosition) {
    TCompressor c;
    TMemoryStream runs(RunHeavy(200000, 61));
    runs.SetPosition(7);
    c.SetInputStream(&runs);
    EXPECT_TRUE(c.Advise());
    EXPECT_EQ(runs.Position(), 7);

    TMemoryStream text(AssemblerText(200000, 62));
    c.SetInputStream(&text);
    c.SetThreshold(0);
    EXPECT_FALSE(c.Advise());
    c.SetThreshold(100);
    EXPECT_TRUE(c.Advise());

    TMemoryStream noise(RandomBytes(100000, 63));
    c.SetInputStream(&noise);
    EXPECT_FALSE(c.Advise());
    // The automatic method writes the marker of the method it chose.
    EXPECT_EQ(Pack(RandomBytes(100, 64), TCompressor::Method::Auto)[0], '!');
    EXPECT_EQ(Pack(Bytes(100, 0), TCompressor::Method::Auto)[0], 'W');
}

TEST(Compressor, DamagedStreamsFailWithTheirOwnTexts) {
    const Bytes good = Pack(AssemblerText(40000, 71));
    const Bytes goodLzh = Pack(AssemblerText(40000, 71), TCompressor::Method::Lzhuf);

    EXPECT_EQ(UnpackError({'W', 'R', 'Z'}), "Compressor : Error reading from input stream !");
    EXPECT_EQ(UnpackError({'W', 'R', 'Z', 'L', 0}), "Compressor : Error reading from input stream !");
    EXPECT_EQ(UnpackError(Bytes(good.begin(), good.begin() + 9)),
              "Compressor : Error reading from input stream !");
    EXPECT_EQ(UnpackError(Bytes(good.begin(), good.end() - 1)),
              "Compressor : Error reading from input stream !");
    EXPECT_EQ(UnpackError({'Z', 'L', 'R', 'W', 0, 0, 0, 0}),
              "Compressor decompression : input stream contains no valid header !");

    EXPECT_EQ(UnpackError(Concat(Header("WRZL", 3), {0x04, 0x00, 0x41, 'a', 'b', 'c'})),
              "Compressor : Error reading from input stream ! (Compressor/Vexo)");
    EXPECT_EQ(UnpackError(Concat(Header("WRZL", 3), {0xFF, 0xFF})),
              "Compressor : Error reading from input stream ! (Compressor/Vexo)");

    Bytes wrongSize = good;
    wrongSize[4] ^= 1;
    EXPECT_EQ(UnpackError(wrongSize),
              "Compressor (decompression Compressor/Vexo) : Original and compressed sizes do not match !");
    EXPECT_EQ(UnpackError(Concat(Header("WRZL", 2), {0x04, 0x00, 0x80, 'a', 'b', 'c'})),
              "Compressor (decompression Compressor/Vexo) : Original and compressed sizes do not match !");

    EXPECT_EQ(UnpackError(Bytes(goodLzh.begin(), goodLzh.end() - 20)),
              "Compressor : Error reading from input stream ! (LZH)");
    EXPECT_EQ(UnpackError(Concat(Header("!HZL", -1), {})),
              "Compressor (LZH decompression) : Original and compressed sizes do not match !");
    // A single match symbol of 10 blanks (see the LZHUF tests) where 4 bytes were promised.
    EXPECT_EQ(UnpackError(Concat(Header("!HZL", 4), {0x93, 0x00, 0x00})),
              "Compressor (LZH decompression) : Original and compressed sizes do not match !");
}

TEST(Compressor, PayloadMustBeConsumedExactly) {
    const char* blockDamage = "Compressor : Error reading from input stream ! (Compressor/Vexo)";
    // Three literals, then the control word promises a copy the block lacks.
    EXPECT_EQ(UnpackError(Concat(Header("WRZL", 3), {0x06, 0x00, 0x40, 0x10, 0x00, 'a', 'b', 'c'})),
              blockDamage);
    // The same with the zero padding is the three literals.
    EXPECT_EQ(Unpack(Concat(Header("WRZL", 3), {0x06, 0x00, 0x40, 0x00, 0x00, 'a', 'b', 'c'})),
              (Bytes{'a', 'b', 'c'}));

    // One match symbol of ten blanks; a set padding bit after it is damage.
    EXPECT_EQ(Unpack(Concat(Header("!HZL", 10), {0x93, 0x00, 0x00})), Bytes(10, ' '));
    EXPECT_EQ(UnpackError(Concat(Header("!HZL", 10), {0x93, 0x00, 0x01})),
              "Compressor (LZH decompression) : Original and compressed sizes do not match !");
}

TEST(Compressor, ChecksummedStreamsRefuseEverySingleBitFlip) {
    const Bytes original = AssemblerText(600, 5);
    for (TCompressor::Method method : {TCompressor::Method::Block, TCompressor::Method::Lzhuf}) {
        TMemoryStream src(original), dst;
        TCompressor c;
        c.SetMethod(method);
        c.SetChecksum(true);
        c.SetInputStream(&src);
        c.SetOutputStream(&dst);
        c.Compress();
        const Bytes packed = dst.Bytes();
        ASSERT_EQ(Unpack(packed), original);
        EXPECT_EQ(packed[3], 'C');

        int wrongBytesAccepted = 0;
        for (size_t bit = 0; bit < packed.size() * 8; ++bit) {
            Bytes damaged = packed;
            damaged[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
            try {
                if (Unpack(damaged) != original) ++wrongBytesAccepted;
            } catch (const ECompressorException&) {
            }
        }
        EXPECT_EQ(wrongBytesAccepted, 0) << static_cast<int>(method);
    }
}

TEST(Compressor, StatedSizeAboveTheLimitIsRefusedBeforeDecoding) {
    const Bytes packed = Pack(Bytes(5000, 'x'));
    TMemoryStream src(packed);
    TMemoryStream dst;
    TCompressor c;
    c.SetInputStream(&src);
    c.SetOutputStream(&dst);
    c.SetMaxOutputSize(4999);
    EXPECT_THROW(c.Decompress(), ECompressorException);
    EXPECT_TRUE(dst.Bytes().empty());
}

TEST(Compressor, StreamFailuresFailWithTheirOwnTexts) {
    TMemoryStream ok(Bytes(10, 1));
    TMemoryStream out;
    EXPECT_EQ(CompressError(nullptr, &out),
              "Compressor (de)compression : Failed to initialize input stream !");
    EXPECT_EQ(CompressError(&ok, nullptr),
              "Compressor (de)compression : Failed to initialize output stream !");

    TBrokenStream noPosition;
    noPosition.badPosition = true;
    EXPECT_EQ(CompressError(&noPosition, &out),
              "Compressor (de)compression : Failed to initialize input stream !");
    EXPECT_EQ(CompressError(&ok, &noPosition),
              "Compressor (de)compression : Failed to initialize output stream !");

    TBrokenStream noSize;
    noSize.badSize = true;
    EXPECT_EQ(CompressError(&noSize, &out),
              "Compressor compression : Failed to obtain the size of the input stream !");

    for (auto method : {TCompressor::Method::Block, TCompressor::Method::Lzhuf}) {
        TBrokenStream full;
        full.writeRoom = 12;
        TMemoryStream text(AssemblerText(5000, 81));
        EXPECT_EQ(CompressError(&text, &full, method), "Compressor : Error writing to output stream !");

        TShortStream liar(AssemblerText(5000, 82));
        EXPECT_EQ(CompressError(&liar, &out, method), "Compressor : Error reading from input stream !");
    }

    TMemoryStream packed(Pack(Bytes(100, 'x')));
    TCompressor c;
    c.SetInputStream(&packed);
    c.SetOutputStream(nullptr);
    EXPECT_THROW(c.Decompress(), ECompressorException);
}
