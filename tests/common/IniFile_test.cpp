#include "common/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using torvane::TMemIniFile;

TEST(IniFile, MissingFileGivesDefaultsAndNamesIgnoreCase) {
    TMemIniFile ini("/nonexistent/Torvane.ini");
    EXPECT_EQ(ini.ReadInteger("Window", "Width", 700), 700);
    EXPECT_TRUE(ini.ReadBool("Window", "Maximized", true));
    ini.WriteString("ASEM51", "Path", "/usr/bin/asemw");
    EXPECT_EQ(ini.ReadString("asem51", "PATH", ""), "/usr/bin/asemw");
    ini.WriteString("asem51", "path", "x");
    EXPECT_EQ(ini.ReadSection("ASEM51").size(), 1u);
    EXPECT_EQ(ini.ReadString("ASEM51", "Path", ""), "x");
}

TEST(IniFile, IntegersAndBooleansFollowTheReadingRules) {
    TMemIniFile ini("");
    ini.SetText("[Editor]\r\nFontSize= 12 \r\nBad=12px\r\nEngKey=0\r\nOn=-3\r\nWord=yes\r\nHex=$1F\r\n");
    EXPECT_EQ(ini.ReadInteger("Editor", "FontSize", 10), 12);
    EXPECT_EQ(ini.ReadInteger("Editor", "Bad", 10), 10);
    EXPECT_EQ(ini.ReadInteger("Editor", "Hex", 10), 10);
    EXPECT_FALSE(ini.ReadBool("Editor", "EngKey", true));
    EXPECT_TRUE(ini.ReadBool("Editor", "On", false));
    EXPECT_TRUE(ini.ReadBool("Editor", "Word", true)); // not an integer: the default
    EXPECT_FALSE(ini.ReadBool("Editor", "Word", false));
    ini.WriteBool("Editor", "EngKey", true);
    EXPECT_EQ(ini.ReadString("Editor", "EngKey", ""), "1");
}

TEST(IniFile, UpdateFileWritesEverythingAndKeepsOrder) {
    fs::path dir = fs::temp_directory_path() / "torvane_ini_test";
    fs::create_directories(dir);
    fs::path file = dir / "Torvane.ini";
    {
        TMemIniFile ini(file.string());
        ini.WriteBool("Window", "Maximized", false);
        ini.WriteInteger("Window", "Width", 800);
        ini.WriteString("History", "1",
                        "/home/a b/\xe8"
                        "ast.asm"); // 8-bit bytes pass unchanged
        ASSERT_TRUE(ini.UpdateFile());
    }
    TMemIniFile back(file.string());
    EXPECT_FALSE(back.ReadBool("Window", "Maximized", true));
    EXPECT_EQ(back.ReadInteger("Window", "Width", 0), 800);
    EXPECT_EQ(back.ReadString("History", "1", ""), "/home/a b/\xe8"
                                                   "ast.asm");
    EXPECT_EQ(back.GetText().find("[Window]"), 0u);

    TMemIniFile nowhere((dir / "missing" / "Torvane.ini").string());
    nowhere.WriteInteger("Window", "Width", 1);
    EXPECT_FALSE(nowhere.UpdateFile());
    fs::remove_all(dir);
}

#include "common/IncludeList.h"

TEST(IncludeList, JoinEndsEveryEntryAndSplitDropsEmptyAndUnterminatedPieces) {
    using torvane::JoinIncludeList;
    using torvane::SplitIncludeList;
    EXPECT_EQ(JoinIncludeList({"C:\\A", "C:\\B"}), "C:\\A;C:\\B;");
    EXPECT_EQ(JoinIncludeList({}), "");
    EXPECT_EQ(SplitIncludeList("C:\\A;;C:\\B"), std::vector<std::string>{"C:\\A"});
    EXPECT_EQ(SplitIncludeList("/a b;/c;"), (std::vector<std::string>{"/a b", "/c"}));
    EXPECT_TRUE(SplitIncludeList("").empty());
    EXPECT_TRUE(SplitIncludeList("/only").empty());
}
