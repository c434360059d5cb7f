// The asemw program as the bridge runs it: command line, console lines,
// files beside the source, exit code.

#include "common/ToolSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace torvane::tools;
namespace fs = std::filesystem;

namespace {

const std::string kAsemw = std::string(TORVANE_BIN_DIR) + "/asemw";

struct Frontend : ::testing::Test {
    ScratchFolder dir{"torvane-asemw-frontend"};
    std::string Path(const std::string& name) const { return dir.Path() + "/" + name; }
    Captured Run(const std::vector<std::string>& args) {
        std::vector<std::string> argv{kAsemw};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunCaptured(argv, dir.Path());
    }
};

} // namespace

TEST_F(Frontend, SuccessWritesCrLfHexAndListing) {
    ASSERT_TRUE(
        WriteText(Path("ok.asm"), "$INCLUDE(reg52.inc)\r\nSTART: MOV T2CON,#4\r\n JMP START\r\n END\r\n"));
    ASSERT_TRUE(WriteText(Path("ok.hex"), "stale"));
    const Captured c = Run({"ok.asm", "/includes:" + dir.Path() + "/;", "/list"});
    ASSERT_EQ(c.exitCode, 0) << c.out;
    const auto lines = SplitLines(c.out);
    ASSERT_EQ(lines.size(), 4u) << c.out;
    EXPECT_EQ(lines[3], "no errors");
    std::string hex, listing;
    ASSERT_TRUE(ReadText(Path("ok.hex"), hex));
    EXPECT_EQ(hex, ":0500000075C80480FB3F\r\n:00000001FF\r\n");
    ASSERT_TRUE(ReadText(Path("ok.lst"), listing));
    EXPECT_NE(listing.find("0000  75 C8 04"), std::string::npos) << listing;
    EXPECT_NE(listing.find("START"), std::string::npos);
}

TEST_F(Frontend, ErrorsAreCountedAndNamedWithFileAndLine) {
    ASSERT_TRUE(WriteText(Path("bad.asm"), " NOP\n FROB\n MOV A,#NOWHERE\n"));
    ASSERT_TRUE(WriteText(Path("bad.hex"), "stale"));
    const Captured c = Run({"bad.asm", "/includes:" + dir.Path() + "/;"});
    EXPECT_EQ(c.exitCode, 1);
    const auto lines = SplitLines(c.out);
    ASSERT_EQ(lines.size(), 6u) << c.out;
    EXPECT_EQ(lines[3], "2 errors detected");
    EXPECT_EQ(lines[4], "bad.asm(2): unknown instruction or directive 'FROB'");
    EXPECT_EQ(lines[5], "bad.asm(3): undefined symbol 'NOWHERE'");
    EXPECT_FALSE(fs::exists(Path("bad.hex")));
}

TEST_F(Frontend, BadCommandLineAndMissingSource) {
    Captured c = Run({"x.asm", "/frob"});
    EXPECT_EQ(c.exitCode, 1);
    EXPECT_NE(c.out.find("errors detected"), std::string::npos);
    c = Run({"missing.asm"});
    EXPECT_EQ(c.exitCode, 1);
    EXPECT_NE(c.out.find("missing.asm(1): cannot open source file"), std::string::npos) << c.out;
}
