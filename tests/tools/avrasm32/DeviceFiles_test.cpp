// Every device file a program can include by name assembles: avra's own and,
// in their place, the corrected copies installed beside the front end.

#include "AvrTestSupport.h"
#include "common/ToolSupport.h"

#include <gtest/gtest.h>

using namespace avrtest;

namespace {

const fs::path kCorrected = fs::path(TORVANE_BIN_DIR) / TORVANE_AVR_DEVICE_FOLDER;

TEST(DeviceFiles, CorrectedCopiesAssembleWithAvraItself) {
    const fs::path dir = TestFolder("torvane_avr_corrected");
    fs::remove_all(dir);
    fs::create_directories(dir);
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(kCorrected)) {
        WriteFile(dir / "t.asm", ".include \"" + entry.path().string() + "\"\nnop\n");
        const auto avra = torvane::tools::RunCaptured({"avra", "t.asm"}, dir.string());
        EXPECT_NE(avra.out.find("Assembly complete with no errors"), std::string::npos)
            << entry.path() << "\n"
            << avra.out << avra.err;
        ++count;
    }
    EXPECT_GT(count, 0u);
    fs::remove_all(dir);
}

TEST(DeviceFiles, EveryBundledNameAssemblesThroughTheFrontEnd) {
    const fs::path dir = TestFolder("torvane_avr_devices");
    fs::remove_all(dir);
    for (const auto& entry : fs::directory_iterator(AVRA_DEVICE_FILES)) {
        const std::string name = entry.path().filename().string();
        WriteFile(dir / "t.asm", ".include \"" + name + "\"\n.cseg\n.org 0\nldi r16, low(RAMEND)\n");
        const FrontEndRun run = RunFrontEnd(dir / "t.asm");
        EXPECT_EQ(run.lines.back(), "no errors") << name << ": " << ::testing::PrintToString(run.lines);
    }
    fs::remove_all(dir);
}

} // namespace
