// Builds through the real chain: build command -> Pelorin -> the assemblers in
// the bin folder (Torvane's own asemw, avrasm32 over avra).

#include "assemble/BuildCommand.h"
#include "common/IniFile.h"
#include "platform/Names.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using namespace torvane;
using namespace torvane::build;
using Lines = std::vector<std::string>;

namespace {

using test_support::ReadFile;
using test_support::WriteFile;

const fs::path kBin = TORVANE_BIN_DIR;

class QuietUi : public BuildUi {
public:
    std::string fileName, firstLine;
    Lines messages;
    std::string DocumentFileName() const override { return fileName; }
    std::string DocumentFirstLine() const override { return firstLine; }
    platform::Assembler AskAssembler(const std::string&) override { return platform::Assembler::None; }
    void InsertFirstLine(const std::string&) override {}
    void ShowError(const std::string& text) override { messages.push_back("error " + text); }
    void ShowProgress(const std::string&) override {}
    void HideProgress() override {}
    void SetMessages(const Lines& lines) override { messages = lines; }
    void AppendMessage(const std::string& line) override { messages.push_back(line); }
};

struct EndToEnd : ::testing::Test {
    fs::path root, programDir, sources;
    TMemIniFile settings{""};

    void SetUp() override {
        root = fs::temp_directory_path() / "torvane_e2e" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root);
        programDir = root / "bin";
        sources = root / "my sources";
        fs::create_directories(programDir);
        fs::create_directories(sources / "inc");
        fs::copy_file(kBin / platform::kBridgeLibrary, programDir / platform::kBridgeLibrary);
        settings.SetText("[ASEM51]\nPath=" + (kBin / platform::kAsem51Program).string() +
                         "\nLib=" + (sources / "inc").string() +
                         "/;\n[AvrAsm32]\nPath=" + (kBin / platform::kAvrAsmProgram).string() +
                         "\nLib=" + (sources / "inc").string() + "/;/no/such/dir/;\n");
    }

    // Builds `file`; returns the export's result byte, the list in *messages.
    int Build(const fs::path& file, bool bin, Lines* messages = nullptr) {
        settings.WriteBool("ASEM51", "Bin", bin);
        settings.WriteBool("AvrAsm32", "Bin", bin);
        QuietUi ui;
        ui.fileName = file.string();
        std::ifstream in(file);
        std::getline(in, ui.firstLine);
        if (!ui.firstLine.empty() && ui.firstLine.back() == '\r') ui.firstLine.pop_back();
        BuildOutcome outcome = RunBuild(ui, settings, programDir.string() + "/");
        if (messages) *messages = ui.messages;
        EXPECT_EQ(outcome.status, BuildStatus::Called);
        return outcome.result;
    }

    // Builds an example to HEX, makes srec_cat's image of it, builds again to
    // BIN and compares.
    void CheckExample(const std::string& name, const std::string& extraOutput) {
        fs::path source = sources / name;
        fs::copy_file(fs::path(TORVANE_EXAMPLES) / name, source);
        Lines log;
        ASSERT_EQ(Build(source, false, &log), 1) << ::testing::PrintToString(log);
        fs::path hex = fs::path(source).replace_extension(".hex");
        ASSERT_TRUE(fs::exists(hex));
        if (!extraOutput.empty()) {
            EXPECT_TRUE(fs::exists(fs::path(source).replace_extension(extraOutput)));
        }
        const std::string ref = (root / "ref.bin").string();
        const std::string command = "srec_cat '" + hex.string() + "' -Intel -fill 0xFF 0 -maximum-address '" +
                                    hex.string() + "' -Intel -o '" + ref + "' -Binary";
        ASSERT_EQ(std::system(command.c_str()), 0);
        ASSERT_EQ(Build(source, true), 1);
        EXPECT_FALSE(fs::exists(hex));
        std::string image = ReadFile(fs::path(source).replace_extension(".bin"));
        EXPECT_GT(image.size(), 8u);
        EXPECT_TRUE(image == ReadFile(ref)) << name << ": BIN differs from srec_cat";
    }
};

} // namespace

TEST_F(EndToEnd, Example8051) {
    CheckExample("blink51.asm", "");
}

TEST_F(EndToEnd, ExampleAvr) {
    CheckExample("blink328p.asm", ".eep");
}

TEST_F(EndToEnd, Asem51ErrorsNameFileAndLine) {
    fs::path source = sources / "bad.asm";
    WriteFile(sources / "inc" / "part.inc", "\tNOP\r\n\tBADOP R1\r\n");
    WriteFile(source,
              ";compiler: asem51\r\n\tORG 0\r\n\tFROB A\r\n$INCLUDE(part.inc)\r\n$INCLUDE(gone.inc)\r\n"
              "\tEND\r\n");
    Lines log;
    EXPECT_EQ(Build(source, false, &log), 0);
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(log[2], "Soubor nelze přeložit:");
    EXPECT_EQ(log[3].rfind("[Error] " + source.string() + "(3): ", 0), 0u) << log[3];
    EXPECT_EQ(log[4].rfind("[Error] " + (sources / "inc" / "part.inc").string() + "(2): ", 0), 0u) << log[4];
    EXPECT_EQ(log[5], "[Error] " + source.string() + "(5): cannot find include file \"gone.inc\"");
    EXPECT_FALSE(fs::exists(fs::path(source).replace_extension(".hex")));
}

TEST_F(EndToEnd, AvrErrorsNameFileAndLine) {
    fs::path source = sources / "bad.asm";
    WriteFile(sources / "inc" / "part.inc", "\tnop\r\n\tbadop r1\r\n");
    WriteFile(source,
              ";compiler: avrasm\r\n.include \"m328Pdef.inc\"\r\n\tfrob r1\r\n.include \"part.inc\"\r\n"
              ".include \"gone.inc\"\r\n");
    Lines log;
    EXPECT_EQ(Build(source, false, &log), 0);
    ASSERT_GE(log.size(), 6u) << ::testing::PrintToString(log);
    EXPECT_EQ(log[3], "Soubor nelze přeložit:");
    EXPECT_EQ(log[4], "[Error] " + source.string() + "(3): Unknown mnemonic/macro: frob");
    EXPECT_EQ(log[5],
              "[Error] " + (sources / "inc" / "part.inc").string() + "(2): Unknown mnemonic/macro: badop");
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[6], "[Error] " + source.string() + "(5): Include file \"gone.inc\" not found");
}

TEST_F(EndToEnd, IntelSyntaxOf8051AssemblesToTheRightBytes) {
    fs::path source = sources / "syntax.asm";
    WriteFile(source, ";compiler: asem51\r\n"
                      "$MOD51\r\n"
                      "COUNT   EQU     10H\r\n"
                      "FLAGB   BIT     P1.2\r\n"
                      "BUF     DATA    30H\r\n"
                      "        ORG     0\r\n"
                      "START:  MOV     A,#COUNT        ; a comment naming \"x.inc\"\r\n"
                      "        MOV     A,#HIGH(1234H)\r\n"
                      "        MOV     A,#LOW 1234H\r\n"
                      "        MOV     R0,#1010B\r\n"
                      "        MOV     R1,#17Q\r\n"
                      "        MOV     BUF,#'A'\r\n"
                      "        SETB    FLAGB\r\n"
                      "        MOV     A,#20 MOD 7\r\n"
                      "        SJMP    $\r\n"
                      "        JMP     START\r\n"
                      "        CALL    start\r\n"
                      "        DW      1234H\r\n"
                      "        DB      'Hi;', 0\r\n"
                      "        DS      2\r\n"
                      "        DB      0FFH\r\n"
                      "        END\r\n"
                      "        NOP\r\n");
    Lines log;
    ASSERT_EQ(Build(source, true, &log), 1) << ::testing::PrintToString(log);
    // The generic JMP and CALL take their shortest reaching forms (SJMP, ACALL).
    const unsigned char expected[] = {0x74, 0x10, 0x74, 0x12, 0x74, 0x34, 0x78, 0x0A, 0x79, 0x0F, 0x75,
                                      0x30, 0x41, 0xD2, 0x92, 0x74, 0x06, 0x80, 0xFE, 0x80, 0xEB, 0x11,
                                      0x00, 0x12, 0x34, 0x48, 0x69, 0x3B, 0x00, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ReadFile(fs::path(source).replace_extension(".bin")),
              std::string(reinterpret_cast<const char*>(expected), sizeof expected));
}
