// The 8051 examples built as F9 builds them (torvane-cli build -> Pelorin ->
// asemw), with bytes of the result checked at known addresses.

#include "platform/Names.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace torvane;

namespace {

const fs::path kBin = TORVANE_BIN_DIR;

std::map<int, int> ReadHex(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::map<int, int> bytes;
    for (std::string line; std::getline(in, line);) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "HEX lines end with CR LF";
        if (line.size() < 11 || line.substr(7, 2) != "00") continue;
        const int count = std::stoi(line.substr(1, 2), nullptr, 16),
                  address = std::stoi(line.substr(3, 4), nullptr, 16);
        for (int i = 0; i < count; ++i)
            bytes[address + i] = std::stoi(line.substr(9 + 2 * i, 2), nullptr, 16);
    }
    return bytes;
}

struct Examples : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / "torvane_asm51_examples" /
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();

    // Builds examples/`name` (a file or a folder's main.asm); the HEX image.
    std::map<int, int> Build(const std::string& name, const std::string& main = "") {
        fs::remove_all(dir);
        fs::create_directories(dir);
        const fs::path from = fs::path(TORVANE_EXAMPLES) / name;
        fs::copy(from, fs::is_directory(from) ? dir : dir / name, fs::copy_options::recursive);
        const fs::path source = dir / (main.empty() ? name : main);
        std::ofstream(dir / "t.ini") << "[ASEM51]\nPath=" << (kBin / platform::kAsem51Program).string()
                                     << "\n";
        const std::string command = "'" + (kBin / "torvane-cli").string() + "' build '" + source.string() +
                                    "' --ini '" + (dir / "t.ini").string() + "' >'" +
                                    (dir / "log.txt").string() + "' 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream log(dir / "log.txt");
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << std::string(std::istreambuf_iterator<char>(log), {});
        return ReadHex(fs::path(source).replace_extension(".hex"));
    }
};

} // namespace

TEST_F(Examples, Blink) {
    auto code = Build("blink51.asm");
    EXPECT_EQ(code.at(0), 0xB2); // CPL P1.0
    EXPECT_EQ(code.at(1), 0x90);
    EXPECT_EQ(code.at(2), 0x11); // ACALL DELAY
}

TEST_F(Examples, TimerInterrupt) {
    auto code = Build("timer51.asm");
    EXPECT_EQ(code.at(0x00), 0x80); // JMP MAIN as SJMP to 30H
    EXPECT_EQ(code.at(0x01), 0x2E);
    EXPECT_EQ(code.at(0x0B), 0x80); // vector: a short jump to the handler
    EXPECT_EQ(code.at(0x33), 0x75); // MOV TICKS,#20
    EXPECT_EQ(code.at(0x3E), 0x3C); // HIGH (65536-50000)
    EXPECT_EQ(code.at(0x41), 0xB0); // LOW (65536-50000)
}

TEST_F(Examples, UartEcho) {
    auto code = Build("uart51.asm");
    EXPECT_EQ(code.at(0x00), 0x02); // LJMP START
    EXPECT_EQ(code.at(0x01), 0x01);
    EXPECT_EQ(code.at(0x100), 0x75); // MOV SCON,#50H
    EXPECT_EQ(code.at(0x101), 0x98);
    EXPECT_EQ(code.at(0x102), 0x50);
    std::string text;
    for (int a = 0x100; code.count(a); ++a)
        text += static_cast<char>(code.at(a));
    EXPECT_NE(text.find("Echo ready\r\n"), std::string::npos);
}

TEST_F(Examples, LcdDriverWithMacros) {
    auto code = Build("lcd51.asm");
    EXPECT_EQ(code.at(0x40), 0x7E); // WAIT_MS 40: MOV R6,#40
    EXPECT_EQ(code.at(0x41), 40);
    EXPECT_EQ(code.at(0x42), 0x7D); // its first LOCAL label's loop
    std::string text;
    for (int a = 0x40; code.count(a); ++a)
        text += static_cast<char>(code.at(a));
    EXPECT_NE(text.find("Hello, 8051!"), std::string::npos);
}

TEST_F(Examples, LookupTables) {
    auto code = Build("table51.asm");
    EXPECT_EQ(code.at(0x200), 0xC0); // the digit 0
    EXPECT_EQ(code.at(0x209), 0x90); // the digit 9
    EXPECT_EQ(code.at(0x19), 0x04);  // INC A; MOVC A,@A+PC; RET; squares
    EXPECT_EQ(code.at(0x1A), 0x83);
    EXPECT_EQ(code.at(0x1B), 0x22);
    EXPECT_EQ(code.at(0x1C + 15), 225);
}

TEST_F(Examples, ProgramInSeveralFiles) {
    auto code = Build("multi51", "main.asm");
    EXPECT_EQ(code.at(0x000), 0x02); // LJMP MAIN
    EXPECT_EQ(code.at(0x001), 0x01);
    EXPECT_EQ(code.at(0x100), 0x75); // MOV SP,#6FH
    EXPECT_EQ(code.at(0x102), 0x6F);
    EXPECT_EQ(code.at(0x103), 0xB2); // CPL STATUS_LED
    EXPECT_EQ(code.at(0x104), 0x90);
}
