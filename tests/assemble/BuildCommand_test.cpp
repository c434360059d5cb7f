#include "assemble/Assemblers.h"
#include "assemble/BuildCommand.h"
#include "common/IniFile.h"
#include "platform/Names.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace fs = std::filesystem;
using namespace torvane;
using namespace torvane::build;
using Lines = std::vector<std::string>;

namespace {

using test_support::ReadFile;
using test_support::WriteFile;

// Records every request of the build command; answers the assembler choice
// with `choice`.
class FakeUi : public BuildUi {
public:
    std::string fileName;
    std::string firstLine;
    Assembler choice = Assembler::None;
    Lines events;
    Lines messages;

    std::string DocumentFileName() const override { return fileName; }
    std::string DocumentFirstLine() const override { return firstLine; }
    Assembler AskAssembler(const std::string& caption) override {
        events.push_back("ask " + caption);
        return choice;
    }
    void InsertFirstLine(const std::string& line) override {
        events.push_back("insert " + line);
        firstLine = line;
    }
    void ShowError(const std::string& text) override { events.push_back("error " + text); }
    void ShowProgress(const std::string& text) override { events.push_back("progress " + text); }
    void HideProgress() override { events.push_back("hide"); }
    void SetMessages(const Lines& lines) override {
        events.push_back("set");
        messages = lines;
    }
    void AppendMessage(const std::string& line) override {
        events.push_back("append");
        messages.push_back(line);
    }
};

struct BuildFixture : ::testing::Test {
    fs::path programDir, sourceDir, source;
    TMemIniFile settings{""};
    FakeUi ui;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        fs::path root = fs::temp_directory_path() / "torvane_assemble" / info->name();
        fs::remove_all(root);
        programDir = root / "bin";
        sourceDir = root / "src";
        fs::create_directories(programDir);
        fs::create_directories(sourceDir);
        fs::copy_file(fs::path(TORVANE_BIN_DIR) / platform::kBridgeLibrary,
                      programDir / platform::kBridgeLibrary);
        source = sourceDir / "prog.asm";
        WriteFile(source, "nop\r\n");
        ui.fileName = source.string();
        settings.SetText("[ASEM51]\nPath=" + std::string(FAKE_ASSEMBLER) +
                         "\n[AvrAsm32]\nPath=" + std::string(FAKE_ASSEMBLER) + "\n");
    }
    void Script(const std::string& s) { WriteFile(sourceDir / "fake.script", s); }
    BuildOutcome Build() { return RunBuild(ui, settings, programDir.string() + "/"); }
    fs::path Log() const { return programDir / kBuildLogName; }
};

} // namespace

TEST(Assemblers, MarkerIsTheWholeFirstLineIgnoringCase) {
    EXPECT_EQ(AssemblerOfFirstLine(";compiler: asem51"), Assembler::Asem51);
    EXPECT_EQ(AssemblerOfFirstLine(";COMPILER: AvrAsm"), Assembler::AvrAsm);
    EXPECT_EQ(AssemblerOfFirstLine(";compiler: asem51 "), Assembler::None);
    EXPECT_EQ(AssemblerOfFirstLine(""), Assembler::None);
}

// Numbers from outside (a list row, a menu tag) come in only through the
// checked conversion; the settings and the bridge keep their stored names.
TEST(Assemblers, OutsideNumbersAreCheckedAndStoredNamesKept) {
    EXPECT_EQ(platform::AssemblerAt(0), Assembler::None);
    EXPECT_EQ(platform::AssemblerAt(2), Assembler::AvrAsm);
    EXPECT_EQ(platform::AssemblerAt(3), std::nullopt);
    EXPECT_EQ(platform::AssemblerAt(-1), std::nullopt);
    EXPECT_STREQ(platform::FactsOf(Assembler::AvrAsm).section, "AvrAsm32");
    EXPECT_STREQ(platform::FactsOf(Assembler::Asem51).exportName, "ASEM51");
    EXPECT_STREQ(platform::FactsOf(Assembler::AvrAsm).exportName, "AVRASM");
    EXPECT_STREQ(platform::FactsOf(Assembler::None).marker, "");
}

TEST_F(BuildFixture, UntitledDocumentIsRefusedAndTheLogKept) {
    WriteFile(Log(), "old");
    ui.fileName = "Nový soubor 3";
    EXPECT_EQ(Build().status, BuildStatus::Refused);
    EXPECT_EQ(ui.events, (Lines{"error Neplatný název souboru!"}));
    EXPECT_EQ(ReadFile(Log()), "old");
}

TEST_F(BuildFixture, CancelledChoiceDeletesOnlyTheLog) {
    WriteFile(Log(), "old");
    ui.messages = {"kept"};
    ui.choice = Assembler::None;
    EXPECT_EQ(Build().status, BuildStatus::NoAssembler);
    EXPECT_EQ(ui.events, (Lines{"ask Výběr překladače"}));
    EXPECT_EQ(ui.messages, (Lines{"kept"}));
    EXPECT_FALSE(fs::exists(Log()));
}

TEST_F(BuildFixture, ChosenAssemblerInsertsItsMarkerAndBuilds) {
    ui.choice = Assembler::Asem51;
    Script("out a\\nBANNER\\nc\\nno errors\\n\n");
    BuildOutcome outcome = Build();
    EXPECT_EQ(outcome.status, BuildStatus::Called);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(ui.events, (Lines{"ask Výběr překladače", "insert ;compiler: asem51",
                                "progress Překládám soubor \"" + source.string() + "\" ...", "set", "hide"}));
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2], "Soubor byl úspěšně přeložen");
    // The file is built as saved: the marker is not in it yet.
    EXPECT_EQ(ReadFile(source), "nop\r\n");
}

TEST_F(BuildFixture, MissingLibraryIsNamed) {
    fs::remove(programDir / platform::kBridgeLibrary);
    ui.firstLine = ";compiler: avrasm";
    EXPECT_EQ(Build().status, BuildStatus::LibraryNotLoaded);
    EXPECT_EQ(ui.events,
              (Lines{std::string("error Nelze inicializovat knihovnu ") + platform::kBridgeLibrary + "!"}));
}

TEST_F(BuildFixture, SecondBuildReplacesTheList) {
    ui.firstLine = ";compiler: avrasm";
    Script("out AVRASM: first\\nx\\n/p.asm(1) : error : one\\n\nexit 1\n");
    EXPECT_EQ(Build().result, 0);
    EXPECT_EQ(ui.messages.back(), "[Error] /p.asm(1): one");
    Script("out AVRASM: second\\nx\\nno errors\\n\n");
    EXPECT_EQ(Build().result, 1);
    ASSERT_EQ(ui.messages.size(), 4u);
    EXPECT_EQ(ui.messages.back(), "Soubor byl úspěšně přeložen");
    EXPECT_EQ(ui.messages[1], "x");
}

TEST_F(BuildFixture, LibraryFailureAppendsItsMessage) {
    ui.firstLine = ";compiler: asem51";
    ui.messages = {"earlier"};
    Script("out too few\\n\n"); // the interpretation needs four lines: result 255
    EXPECT_EQ(Build().status, BuildStatus::LibraryFailed);
    EXPECT_EQ(ui.messages, (Lines{"earlier", "Chyba v DLL knihovně, nebo neexistuje daný export funkce"}));
    EXPECT_EQ(ui.events.back(), "hide");
}

TEST_F(BuildFixture, TimeLimitsComeFromTheAssemblersSection) {
    ui.firstLine = ";compiler: avrasm";
    settings.SetText("[AvrAsm32]\nPath=" + std::string(FAKE_ASSEMBLER) + "\nIdleTimeout=1\n");
    Script("out AVRASM: x\\n\nhang\n");
    const BuildOutcome outcome = Build();
    EXPECT_EQ(outcome.status, BuildStatus::Called); // its own message, not the library failure
    EXPECT_EQ(ui.messages.back(), "Překladač neodpověděl do 1 s a byl ukončen");
}

namespace {

// Runs the call on a worker thread, as the window does, and presses cancel.
class CancellingUi : public FakeUi {
public:
    uint8_t RunCall(const std::function<uint8_t()>& call, const std::function<void()>& cancel) override {
        uint8_t result = 0;
        std::thread worker([&] { result = call(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancel();
        worker.join();
        return result;
    }
};

} // namespace

TEST_F(BuildFixture, CancelReachesTheRunningAssembler) {
    CancellingUi cancelling;
    cancelling.fileName = ui.fileName;
    cancelling.firstLine = ";compiler: asem51";
    Script("out A\\n\nhang\n");
    const BuildOutcome outcome = RunBuild(cancelling, settings, programDir.string() + "/");
    EXPECT_EQ(outcome.status, BuildStatus::Called);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(cancelling.messages.back(), "Překlad byl přerušen");
}
