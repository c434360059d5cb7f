// torvane-cli build and hex2bin, run as the user runs them.

#include "platform/Names.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;
using namespace torvane;

namespace {

using test_support::ReadFile;
using test_support::WriteFile;

const fs::path kBin = TORVANE_BIN_DIR;

} // namespace

TEST(Cli, BuildAndHex2BinExitCodes) {
    fs::path dir = fs::temp_directory_path() / "torvane_cli_e2e";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string cli = "'" + (kBin / "torvane-cli").string() + "'";
    WriteFile(dir / "t.ini", "[ASEM51]\nPath=" + (kBin / platform::kAsem51Program).string() + "\n");
    fs::copy_file(fs::path(TORVANE_EXAMPLES) / "blink51.asm", dir / "ok.asm");
    WriteFile(dir / "plain.asm", "nop\n");
    WriteFile(dir / "bad.asm", ";compiler: asem51\n\tORG 0\n\tFROB\n");
    auto run = [&](const std::string& args) {
        int status = std::system((cli + " " + args + " >'" + (dir / "out.txt").string() + "' 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const std::string ini = " --ini '" + (dir / "t.ini").string() + "'";
    EXPECT_EQ(run("build '" + (dir / "ok.asm").string() + "'" + ini), 0);
    EXPECT_NE(ReadFile(dir / "out.txt").find("Soubor byl úspěšně přeložen"), std::string::npos);
    EXPECT_EQ(run("build '" + (dir / "bad.asm").string() + "'" + ini), 1);
    EXPECT_NE(ReadFile(dir / "out.txt").find("[Error] "), std::string::npos);
    EXPECT_EQ(run("build '" + (dir / "plain.asm").string() + "'" + ini), 2);

    WriteFile(dir / "bad.hex", ":0100000042BE\r\n");
    EXPECT_EQ(run("hex2bin '" + (dir / "bad.hex").string() + "' '" + (dir / "x.bin").string() + "'"), 1);
    EXPECT_NE(ReadFile(dir / "out.txt").find("Neplatný kontrolní součet"), std::string::npos);
    WriteFile(dir / "lower.hex", ":0100000042bd\r\n");
    EXPECT_EQ(run("hex2bin '" + (dir / "lower.hex").string() + "' '" + (dir / "x.bin").string() + "'"), 5);
    WriteFile(dir / "ok.hex", ":0100000042BD\r\n");
    EXPECT_EQ(run("hex2bin '" + (dir / "ok.hex").string() + "' '" + (dir / "x.bin").string() + "'"), 0);
    EXPECT_EQ(ReadFile(dir / "x.bin"), "\x42");
}

#ifndef _WIN32 // FIFOs and /proc; Windows readers have their own test
TEST(Cli, EveryReaderRefusesPipesDevicesAndPseudoFiles) {
    fs::path dir = fs::temp_directory_path() / "torvane_cli_fifo";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string fifo = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteFile(dir / "plain.asm", "nop\n");
    const std::string out = (dir / "out").string();
    const std::string cli = "'" + (kBin / "torvane-cli").string() + "'";
    // `timeout` turns a reader that blocks on the pipe into exit 124 instead
    // of a hung test.
    auto run = [&](const std::string& args) {
        const std::string command =
            "timeout 10 " + cli + " " + args + " >'" + (dir / "msg.txt").string() + "' 2>&1 </dev/null";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const std::string plain = (dir / "plain.asm").string();
    for (const std::string& input : {fifo, std::string("/dev/zero"), std::string("/proc/self/status")}) {
        const std::vector<std::string> commands = {
            "scheme check " + input,
            "scheme compile " + input + " " + out,
            "tokens --scheme " + input + " " + plain,
            "tokens " + input,
            "pack " + input + " " + out,
            "unpack " + input + " " + out,
            "hex2bin " + input + " " + out,
            "build " + input,
            "find x " + input,
            "convert --eol lf " + input + " " + out,
        };
        for (const std::string& args : commands) {
            const int code = run(args);
            EXPECT_NE(code, 0) << args;
            EXPECT_NE(code, 124) << args << ": blocked";
            EXPECT_FALSE(ReadFile(dir / "msg.txt").empty()) << args << ": no message";
            EXPECT_FALSE(fs::exists(out) && fs::file_size(out) == 0 && args.rfind("pack", 0) == 0)
                << args << ": packed as empty";
            fs::remove(out);
        }
    }
}
#endif

TEST(Cli, FindOffsetsPastTheTextAreUsageErrors) {
    fs::path dir = fs::temp_directory_path() / "torvane_cli_offsets";
    fs::create_directories(dir);
    WriteFile(dir / "t.txt", "abc abc\r\n");
    const std::string cli = "'" + (kBin / "torvane-cli").string() + "'";
    auto run = [&](const std::string& from) {
        int status = std::system(
            (cli + " find --from " + from + " abc '" + (dir / "t.txt").string() + "' >/dev/null 2>&1")
                .c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("4"), 0);
    // 2^31 and 2^32 + 4 would wrap to offsets inside the text in 32 bits.
    EXPECT_EQ(run("2147483648"), 2);
    EXPECT_EQ(run("4294967300"), 2);
    EXPECT_EQ(run("99999999999999999999"), 2);
}
