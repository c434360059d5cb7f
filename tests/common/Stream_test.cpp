#include "common/Exceptions.h"
#include "common/Stream.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace torvane;
using namespace torvane::stream_io;

TEST(MemoryStream, LittleEndianIntegersAndStringsRoundTrip) {
    TMemoryStream s;
    WriteU8(s, 0xAB);
    WriteU16(s, 0x1234);
    WriteI32(s, -2);
    WriteShortString(s, "abc");
    WriteLongString(s, std::string("x\0y", 3));
    const std::vector<uint8_t> expected = {0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 3, 'a',
                                           'b',  'c',  3,    0,    0,    0,    'x',  0, 'y'};
    EXPECT_EQ(s.Bytes(), expected);

    s.SetPosition(0);
    EXPECT_EQ(ReadU8(s), 0xAB);
    EXPECT_EQ(ReadU16(s), 0x1234);
    EXPECT_EQ(ReadI32(s), -2);
    EXPECT_EQ(ReadShortString(s), "abc");
    EXPECT_EQ(ReadLongString(s), std::string("x\0y", 3));
    EXPECT_THROW(ReadU8(s), EReadError);
}

TEST(MemoryStream, TruncatedOrDamagedInputRaisesInsteadOfInventingData) {
    TMemoryStream s({0x05, 'a', 'b'});
    EXPECT_THROW(ReadShortString(s), EReadError);
    TMemoryStream big({0xFF, 0xFF, 0xFF, 0x7F, 'a'});
    EXPECT_THROW(ReadLongString(big), EReadError);
    TMemoryStream neg({0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_THROW(ReadLongString(neg), EReadError);
    TMemoryStream w;
    EXPECT_THROW(WriteShortString(w, std::string(256, 'x')), EWriteError);
}

TEST(MemoryStream, SeekClampsAtStartAndWritePastEndGrows) {
    TMemoryStream s;
    s.Seek(4, SeekOrigin::Beginning);
    WriteU8(s, 7);
    EXPECT_EQ(s.Size(), 5);
    EXPECT_EQ(s.Seek(-10, SeekOrigin::Current), 0);
    EXPECT_EQ(s.Seek(-1, SeekOrigin::End), 4);
    EXPECT_EQ(ReadU8(s), 7);
}

TEST(FileStream, WritesReadsAndReportsMissingFiles) {
    auto path = std::filesystem::temp_directory_path() / "torvane_stream_test.bin";
    {
        TFileStream f(path.string(), TFileStream::fmCreate);
        WriteU32(f, 0xDEADBEEF);
        f.Flush();
        EXPECT_EQ(f.Size(), 4);
    }
    {
        TFileStream f(path.string(), TFileStream::fmOpenRead);
        EXPECT_EQ(ReadU32(f), 0xDEADBEEFu);
    }
    std::filesystem::remove(path);
    EXPECT_THROW(TFileStream(path.string(), TFileStream::fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream("/nonexistent-dir/x", TFileStream::fmCreate), EFCreateError);
}
