#include "assemble/SettingsFile.h"

#include "common/IniFile.h"
#include "platform/ProgramLayout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace torvane;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("torvane_settings_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "config");
        layout_.programDir = root_.string() + "/prefix/bin/";
        layout_.libraryDir = root_.string() + "/prefix/lib/torvane/";
        layout_.dataDir = root_.string() + "/prefix/share/torvane/";
        layout_.settingsDir = root_.string() + "/config/";
        layout_.scratchDir = root_.string() + "/cache/";
        layout_.installed = true;
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_;
    platform::ProgramLayout layout_;
};

TEST_F(SettingsFileTest, InstalledProgramStartsWithItsFrontEndsAndKeepsTheUsersChanges) {
    const std::string path = build::PrepareSettingsFile(layout_);
    EXPECT_EQ(path, layout_.settingsDir + "Torvane.ini");
    {
        TMemIniFile first(path);
        EXPECT_EQ(first.ReadString("ASEM51", "Path", ""), layout_.libraryDir + "asemw");
        EXPECT_EQ(first.ReadString("AvrAsm32", "Path", ""), layout_.libraryDir + "avrasm32");
        EXPECT_FALSE(first.ReadBool("AvrAsm32", "Bin", true));
        first.WriteString("ASEM51", "Path", "/opt/own/asemw");
        ASSERT_TRUE(first.UpdateFile());
    }
    EXPECT_EQ(build::PrepareSettingsFile(layout_), path);
    EXPECT_EQ(TMemIniFile(path).ReadString("ASEM51", "Path", ""), "/opt/own/asemw");
}

TEST_F(SettingsFileTest, PortableCopyStartsFromTheDefaults) {
    layout_.installed = false;
    const std::string path = build::PrepareSettingsFile(layout_);
    EXPECT_EQ(path, layout_.settingsDir + "Torvane.ini");
    EXPECT_FALSE(fs::exists(path));
}

} // namespace
