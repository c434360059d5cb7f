// Every opcode of the 8051 (data/opcodes.txt lists one instruction for each)
// assembled by asemw's assembler and by as31, the Debian assembler, as an
// independent oracle: the two code images must be equal byte for byte.

#include "asm51/Assembler.h"
#include "common/ToolSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace torvane;

namespace {

std::map<int, int> ParseHex(const std::string& text) {
    std::map<int, int> bytes;
    for (const auto& line : tools::SplitLines(text)) {
        if (line.size() < 11 || line[0] != ':' || line.substr(7, 2) != "00") continue;
        const int count = std::stoi(line.substr(1, 2), nullptr, 16);
        const int address = std::stoi(line.substr(3, 4), nullptr, 16);
        for (int i = 0; i < count; ++i)
            bytes[address + i] = std::stoi(line.substr(9 + 2 * i, 2), nullptr, 16);
    }
    return bytes;
}

} // namespace

TEST(Opcodes, AllOpcodesMatchTheReferenceAssembler) {
    std::ifstream table(std::string(ASM51_TEST_DATA) + "/opcodes.txt");
    std::string program, line;
    int count = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::string label = "L" + std::to_string(++count);
        for (size_t at; (at = line.find('%')) != std::string::npos;)
            line.replace(at, 1, label);
        program += label + ": " + line + "\n";
    }
    ASSERT_EQ(count, 255);

    tools::ScratchFolder dir("torvane-asm51-opcodes");
    ASSERT_TRUE(dir.Ok());
    ASSERT_TRUE(tools::WriteText(dir.Path() + "/ours.asm", program));
    ASSERT_TRUE(tools::WriteText(dir.Path() + "/ref.asm", program));
    const asm51::Assembly ours = asm51::AssembleFile(dir.Path() + "/ours.asm", "ours.asm", {});
    ASSERT_TRUE(ours.Ok()) << ours.errors.front().line << ": " << ours.errors.front().message;

    const tools::Captured as31 = tools::RunCaptured({"as31", "-Fhex", "ref.asm"}, dir.Path());
    ASSERT_TRUE(as31.started) << "as31 is needed as the reference (Debian package as31)";
    ASSERT_EQ(as31.exitCode, 0) << as31.err << as31.out;
    std::string refHex;
    ASSERT_TRUE(tools::ReadText(dir.Path() + "/ref.hex", refHex));

    const std::map<int, int> reference = ParseHex(refHex), mine = ParseHex(ours.code.IntelHex());
    EXPECT_EQ(mine, reference);
    // Assembled one by one, the lines' first bytes must cover every opcode
    // but the reserved 0A5H.
    std::set<int> opcodes;
    std::istringstream lines(program);
    while (std::getline(lines, line)) {
        ASSERT_TRUE(tools::WriteText(dir.Path() + "/one.asm", line + "\n"));
        const asm51::Assembly one = asm51::AssembleFile(dir.Path() + "/one.asm", "one.asm", {});
        ASSERT_TRUE(one.Ok() && one.code.Has(0)) << line;
        opcodes.insert(one.code.At(0));
    }
    EXPECT_EQ(opcodes.size(), 255u);
    EXPECT_EQ(opcodes.count(0xA5), 0u);
}
