// Include lookup for sources written on Windows.

#include "IncludeLookup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using torvane::avrasm::FindInclude;

namespace {

struct IncludeLookup : ::testing::Test {
    fs::path root = fs::temp_directory_path() / ("torvane_include_lookup-" + std::to_string(::getpid()));
    std::string src, lib, devices;

    void SetUp() override {
        fs::remove_all(root);
        for (const char* dir : {"src/Lib", "lib", "devices"})
            fs::create_directories(root / dir);
        for (const char* file : {"src/Lib/Uart.inc", "lib/m8def.inc", "lib/DEFS.INC", "devices/m8def.inc",
                                 "devices/tn85def.inc", "src/defs.inc"})
            std::ofstream(root / file) << "nop\n";
        src = (root / "src").string();
        lib = (root / "lib").string();
        devices = (root / "devices").string();
    }
    void TearDown() override { fs::remove_all(root); }
    std::string Find(const std::string& name) { return FindInclude(name, {src, lib, devices}); }
    std::string At(const char* file) { return (root / file).string(); }
};

TEST_F(IncludeLookup, EarlierFoldersWinAndExactCaseWinsWithinAFolder) {
    EXPECT_EQ(Find("m8def.inc"), At("lib/m8def.inc"));
    EXPECT_EQ(Find("TN85DEF.INC"), At("devices/tn85def.inc"));
    EXPECT_EQ(Find("defs.inc"), At("src/defs.inc"));
    EXPECT_EQ(Find("DEFS.INC"), At("src/defs.inc")); // the source folder wins, even without case
    EXPECT_EQ(FindInclude("DEFS.INC", {lib, src}), At("lib/DEFS.INC"));
    EXPECT_EQ(Find("gone.inc"), "");
    EXPECT_EQ(Find("Lib"), ""); // a folder is no include file
}

TEST_F(IncludeLookup, WindowsPathsAndAbsolutePaths) {
    EXPECT_EQ(Find("lib\\uart.inc"), At("src/Lib/Uart.inc"));
    EXPECT_EQ(Find("LIB/UART.INC"), At("src/Lib/Uart.inc"));
    EXPECT_EQ(Find("C:\\Program Files\\Atmel\\AVR Tools\\AvrAssembler\\Appnotes\\TN85DEF.INC"),
              At("devices/tn85def.inc"));
    EXPECT_EQ(Find("c:/avr/inc/m8def.inc"), At("lib/m8def.inc"));
    EXPECT_EQ(Find("\\\\server\\share\\defs.inc"), At("src/defs.inc"));
    EXPECT_EQ(Find(At("lib/m8def.inc")), At("lib/m8def.inc"));
    EXPECT_EQ(Find(At("src/lib/UART.inc")), At("src/Lib/Uart.inc"));
    EXPECT_EQ(Find("C:\\"), "");
}

} // namespace
