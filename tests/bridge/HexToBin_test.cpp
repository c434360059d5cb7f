#include "BridgeTestUtil.h"
#include "bridge/HexToBin.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace torvane::bridge;
using namespace bridge_test;

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

int Convert(const std::string& text, HexImage& image) {
    return ConvertHexText(text, image);
}

} // namespace

TEST(HexToBin, FillsTheGapBeforeARecordWithFF) {
    HexImage image;
    EXPECT_EQ(Convert(":03001000010203E7\r\n:00000001FF\r\n", image), kHexOk);
    std::vector<uint8_t> expected(16, 0xFF);
    for (uint8_t b : {1, 2, 3})
        expected.push_back(b);
    EXPECT_EQ(image.bytes, expected);
}

TEST(HexToBin, ChecksumErrorWinsOverALaterGoodRecord) {
    HexImage image;
    EXPECT_EQ(Convert(":03001000010203E8\r\n:00000001FF\r\n", image), kHexChecksum);
    EXPECT_EQ(HexResultMessage(kHexChecksum), "Chyba při převedou HEX -> BIN (Neplatný kontrolní součet)");
    // In one block with good records after it, the failure still stands.
    EXPECT_EQ(Convert(":0100000011EF\r\n:0100010022DC\r\n:0100020033CA\r\n", image), kHexChecksum);
}

TEST(HexToBin, AddressRecords) {
    HexImage image;
    EXPECT_EQ(Convert(":020000021000EC\r\n:0100000042BD\r\n", image), kHexOk);
    ASSERT_EQ(image.bytes.size(), 0x10001u);
    EXPECT_EQ(image.bytes[0x10000], 0x42);
    EXPECT_EQ(image.bytes[0xFFFF], 0xFF);
    EXPECT_EQ(Convert(":020000040001F9\r\n:0100000042BD\r\n", image), kHexOk);
    ASSERT_EQ(image.bytes.size(), 0x10001u);
    EXPECT_EQ(image.bytes[0x10000], 0x42);
}

TEST(HexToBin, OutOfOrderRecordsKeepEarlierData) {
    HexImage image;
    // 0x0004..0x0005 first, then 0x0000..0x0001: the gap 2..3 stays 0xFF and
    // the bytes at 4..5 survive the later, lower record.
    EXPECT_EQ(Convert(":02000400AABB95\r\n:020000001122CB\r\n", image), kHexOk);
    EXPECT_EQ(image.bytes, Bytes({0x11, 0x22, 0xFF, 0xFF, 0xAA, 0xBB}));
    // Overlapping records: the last one written wins.
    EXPECT_EQ(Convert(":020000001122CB\r\n:010001009965\r\n", image), kHexOk);
    EXPECT_EQ(image.bytes, Bytes({0x11, 0x99}));
}

TEST(HexToBin, LineEndsDecideWhatIsARecord) {
    HexImage image;
    std::vector<uint8_t> expected(16, 0xFF);
    for (uint8_t b : {1, 2, 3})
        expected.push_back(b);
    // LF only, a last record without a line end, and lone CRs: all records.
    for (const char* text : {":03001000010203E7\n:00000001FF\n", ":03001000010203E7\r\n:00000001FF",
                             ":03001000010203E7", ":03001000010203E7\r:00000001FF\r"}) {
        EXPECT_EQ(Convert(text, image), kHexOk) << text;
        EXPECT_EQ(image.bytes, expected) << text;
    }
    // A bad last record is an error, not dropped.
    EXPECT_EQ(Convert(":03001000010203E7\r\n:03001000010203E8", image), kHexChecksum);
    EXPECT_EQ(Convert(std::string(3000, 'A'), image), kHexFormat);    // no record can be that long
    EXPECT_EQ(Convert("\r\n", image), kHexFormat);                    // an empty record
    EXPECT_EQ(Convert(":0100000042BD\rjunk\r\n", image), kHexFormat); // the junk line fails
    EXPECT_EQ(Convert("", image), kHexOk);
    // A record straddling the 1024-byte block boundary is read whole.
    std::string text;
    for (int i = 0; i < 78; ++i)
        text += ":00000001FF\r\n";
    text += ":0100000042BD\r\n";
    ASSERT_LT(text.find(":01"), 1024u);
    EXPECT_EQ(Convert(text, image), kHexOk);
    EXPECT_EQ(image.bytes, Bytes({0x42}));
}

TEST(HexToBin, MalformedRecordsFailTheCall) {
    HexImage image;
    for (std::string bad :
         {":0100000042bd", ":0300000001BD", ":01000000G2BD", ":00000002FE", ":01000004AA51"}) {
        EXPECT_THROW(HexRecord(bad, image), EHexMalformed) << bad;
    }
    EXPECT_EQ(HexRecord(":00000001FF", image), kHexOk);
    EXPECT_EQ(HexRecord("00000001FF", image), kHexFormat);
    EXPECT_EQ(HexRecord(":0000000", image), kHexFormat);
}

TEST(HexToBin, HugeAddressesAreRefusedNotAllocated) {
    HexImage image;
    EXPECT_EQ(Convert(":02000004FFFFFC\r\n:0100000042BD\r\n", image), kHexCannotSave);
    EXPECT_TRUE(image.bytes.empty());
}

TEST(HexToBin, FileErrors) {
    fs::path dir = ScratchDir();
    EXPECT_EQ(HexToBin((dir / "missing.hex").string(), (dir / "x.bin").string()), kHexCannotOpen);
    WriteFile(dir / "a.hex", ":00000001FF\r\n");
    EXPECT_EQ(HexToBin((dir / "a.hex").string(), (dir / "no-dir" / "x.bin").string()), kHexCannotSave);
    WriteFile(dir / "b.bin", "old contents");
    EXPECT_EQ(HexToBin((dir / "a.hex").string(), (dir / "b.bin").string()), kHexOk);
    EXPECT_EQ(ReadFile(dir / "b.bin"), "");

    // A failing conversion keeps the previous image.
    WriteFile(dir / "b.bin", "previous image");
    WriteFile(dir / "bad.hex", ":0100000042BD\r\n:03001000010203E8\r\n");
    EXPECT_EQ(HexToBin((dir / "bad.hex").string(), (dir / "b.bin").string()), kHexChecksum);
    EXPECT_EQ(ReadFile(dir / "b.bin"), "previous image");

    // The output named as the input (directly or through a link) is refused
    // and the HEX file stays as it was.
#ifdef _WIN32 // symbolic links need a privilege there
    for (const char* out : {"a.hex"}) {
#else
    fs::create_symlink(dir / "a.hex", dir / "link.bin");
    for (const char* out : {"a.hex", "link.bin"}) {
#endif
        EXPECT_EQ(HexToBin((dir / "a.hex").string(), (dir / out).string()), kHexCannotSave) << out;
        EXPECT_EQ(ReadFile(dir / "a.hex"), ":00000001FF\r\n");
    }
}

TEST(HexToBin, MatchesSrecCatOnAvraOutput) {
#ifdef _WIN32
    GTEST_SKIP() << "the reference tools are Linux programs";
#endif
    fs::path dir = ScratchDir();
    WriteFile(dir / "t.asm", ".include \"m328Pdef.inc\"\n.org 0\n rjmp main\n.org 0x40\nmain: ldi r16, 0x12\n"
                             " out PORTB, r16\n rjmp main\n.db 1, 2, 3\n.org 0x1000\n.dw 0xBEEF\n");
    std::string cd = "cd '" + dir.string() + "' && ";
    ASSERT_EQ(std::system((cd + "avra -fI -o t.hex t.asm >/dev/null 2>&1").c_str()), 0);
    ASSERT_EQ(std::system((cd + "srec_cat t.hex -Intel -fill 0xFF 0 -maximum-address t.hex -Intel -o ref.bin "
                                "-Binary")
                              .c_str()),
              0);
    EXPECT_EQ(HexToBin((dir / "t.hex").string(), (dir / "t.bin").string()), kHexOk);
    std::string ours = ReadFile(dir / "t.bin"), ref = ReadFile(dir / "ref.bin");
    EXPECT_EQ(ours.size(), 0x2002u);
    EXPECT_TRUE(ours == ref) << "differs from srec_cat";
}
